// Reads DTMF keys from consecutive 2048-sample blocks with the chosen decoder: the frame decoder,
// which follows the blocks as one stream, or the block detector, which reads each block's
// transform on its own.
#pragma once

#include <cstdint>
#include <vector>

#include "core/common/dtmf_decoder_kind.h"
#include "core/dtmf/dtmf_frame_decoder.h"

namespace tarvok {

class TDtmfDetector;

class TDtmfKeyReader {
 public:
  using TKey = TDtmfFrameDecoder::TKey;

  explicit TDtmfKeyReader(TDtmfDecoderKind kind) : kind_(kind) {}

  TDtmfDecoderKind Kind() const { return kind_; }
  // Another decoder starts a new stream.
  void SetKind(TDtmfDecoderKind kind);
  // The block detector reads keys from the detector's analysis of the block.
  bool NeedsTransform() const { return kind_ == TDtmfDecoderKind::Block; }

  // Appends the keys of the next block, the detector's Samples, at the detector's level. For the
  // block detector, Process (or the equalizer's Filter) must have run on the block; its key
  // starts with the block.
  void Read(TDtmfDetector& detector, std::vector<TKey>& keys);

 private:
  TDtmfDecoderKind kind_;
  TDtmfFrameDecoder frames_;
  std::int64_t blockStart_ = 0;
};

}  // namespace tarvok
