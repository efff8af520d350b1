#include "block_decoder.h"

#include <algorithm>

#include "core/dtmf/digital_filter.h"
#include "core/dtmf/dtmf_key_reader.h"

namespace tarvok {

std::vector<TDecodedKey> DecodeBlocks(const std::vector<std::int16_t>& samples,
                                      TDigitalFilter& detector, TDtmfKeyReader& reader,
                                      std::vector<std::int16_t>* equalized) {
  constexpr std::size_t kBlock = TDtmfDetector::kBlockSize;
  std::vector<TDtmfKeyReader::TKey> keys;
  for (std::size_t start = 0; start + kBlock <= samples.size(); start += kBlock) {
    std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(start), kBlock,
                detector.Samples().begin());
    if (equalized) {
      detector.Filter();
      equalized->insert(equalized->end(), detector.Filtered().begin(), detector.Filtered().end());
    } else if (reader.NeedsTransform()) {
      detector.Process();
    }
    reader.Read(detector, keys);
  }
  std::vector<TDecodedKey> decoded;
  for (const TDtmfKeyReader::TKey& key : keys)
    decoded.push_back({static_cast<double>(key.StartSample) / TDtmfDetector::kSampleRate, key.Key});
  return decoded;
}

}  // namespace tarvok
