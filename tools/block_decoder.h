// Runs audio through the DTMF detector in consecutive 2048-sample blocks, the way the station
// feeds it captured blocks; samples after the last whole block are not analysed.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvok {

class TDigitalFilter;

struct TDecodedKey {
  double Seconds = 0;  // start of the block in which the key was first seen
  char Key = 0;
};

// With `equalized` given, every block goes through the equalizer (which analyses it for DTMF
// before equalizing, as the station does when it records) and the equalized blocks are appended
// there; otherwise each block is only analysed.
std::vector<TDecodedKey> DecodeBlocks(const std::vector<std::int16_t>& samples,
                                      TDigitalFilter& detector,
                                      std::vector<std::int16_t>* equalized);

}  // namespace tarvok
