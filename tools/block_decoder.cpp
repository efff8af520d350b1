#include "block_decoder.h"

#include <algorithm>

#include "core/dtmf/digital_filter.h"

namespace tarvok {

std::vector<TDecodedKey> DecodeBlocks(const std::vector<std::int16_t>& samples,
                                      TDigitalFilter& detector,
                                      std::vector<std::int16_t>* equalized) {
  constexpr std::size_t kBlock = TDtmfDetector::kBlockSize;
  std::vector<TDecodedKey> keys;
  for (std::size_t start = 0; start + kBlock <= samples.size(); start += kBlock) {
    std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(start), kBlock,
                detector.Samples().begin());
    if (equalized) {
      detector.Filter();
      equalized->insert(equalized->end(), detector.Filtered().begin(), detector.Filtered().end());
    } else {
      detector.Process();
    }
    if (const char key = detector.Decode(); key != TDtmfDetector::kNoKey)
      keys.push_back({static_cast<double>(start) / TDtmfDetector::kSampleRate, key});
  }
  return keys;
}

}  // namespace tarvok
