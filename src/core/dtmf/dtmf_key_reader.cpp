#include "core/dtmf/dtmf_key_reader.h"

#include "core/dtmf/dtmf_detector.h"

namespace tarvok {

void TDtmfKeyReader::SetKind(TDtmfDecoderKind kind) {
  kind_ = kind;
  frames_.Reset();
  blockStart_ = 0;
}

void TDtmfKeyReader::Read(TDtmfDetector& detector, std::vector<TKey>& keys) {
  if (kind_ == TDtmfDecoderKind::Block) {
    if (const char key = detector.Decode(); key != TDtmfDetector::kNoKey)
      keys.push_back({key, blockStart_});
  } else {
    frames_.SetLevel(detector.Level());
    frames_.Process(detector.Samples(), keys);
  }
  blockStart_ += TDtmfDetector::kBlockSize;
}

}  // namespace tarvok
