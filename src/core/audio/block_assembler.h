// Gathers a stream of PCM bytes, in pieces of any length, into blocks of one fixed length and hands
// each full block on in order. Used by the back ends' capture streams; it allocates only when it is
// created.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <utility>
#include <vector>

namespace tarvok {

class TBlockAssembler {
 public:
  using TBlockHandler = std::function<void(std::span<const std::byte> block)>;

  TBlockAssembler(int blockBytes, TBlockHandler handler);

  void Append(std::span<const std::byte> bytes);
  // Appends silence (a gap in the stream): bytes of `silence`, 0x80 for 8-bit samples.
  void AppendSilence(std::size_t bytes, std::byte silence = std::byte{0});
  // Drops a partly filled block, as after an interruption of the stream.
  void Discard() { filled_ = 0; }
  // The partly filled block, which is dropped.
  std::span<const std::byte> TakePartial() {
    return std::span(block_).first(std::exchange(filled_, 0));
  }

 private:
  template <typename Fill>
  void Feed(std::size_t bytes, Fill fill);

  std::vector<std::byte> block_;
  std::size_t filled_ = 0;
  TBlockHandler handler_;
};

}  // namespace tarvok
