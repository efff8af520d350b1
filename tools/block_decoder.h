// Runs audio through the station's DTMF decoding in consecutive 2048-sample blocks, the way the
// station feeds it captured blocks; samples after the last whole block are not analysed.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvok {

class TDigitalFilter;
class TDtmfKeyReader;

struct TDecodedKey {
  double Seconds = 0;  // where the key began; the block detector's keys begin with their block
  char Key = 0;
};

// With `equalized` given, every block goes through the equalizer (which analyses it for DTMF
// before equalizing, as the station does when it records) and the equalized blocks are appended
// there. The keys come from the blocks as they were, at the detector's level.
std::vector<TDecodedKey> DecodeBlocks(const std::vector<std::int16_t>& samples,
                                      TDigitalFilter& detector, TDtmfKeyReader& reader,
                                      std::vector<std::int16_t>* equalized);

}  // namespace tarvok
