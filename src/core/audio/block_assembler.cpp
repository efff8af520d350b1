#include "core/audio/block_assembler.h"

#include <algorithm>
#include <cstring>

namespace tarvok {

TBlockAssembler::TBlockAssembler(int blockBytes, TBlockHandler handler)
    : block_(static_cast<std::size_t>(std::max(blockBytes, 1))), handler_(std::move(handler)) {}

template <typename Fill>
void TBlockAssembler::Feed(std::size_t bytes, Fill fill) {
  std::size_t done = 0;
  while (done < bytes) {
    const std::size_t n = std::min(bytes - done, block_.size() - filled_);
    fill(block_.data() + filled_, done, n);
    filled_ += n;
    done += n;
    if (filled_ == block_.size()) {
      filled_ = 0;
      handler_(block_);
    }
  }
}

void TBlockAssembler::Append(std::span<const std::byte> bytes) {
  Feed(bytes.size(), [&](std::byte* to, std::size_t from, std::size_t n) {
    std::memcpy(to, bytes.data() + from, n);
  });
}

void TBlockAssembler::AppendSilence(std::size_t bytes, std::byte silence) {
  Feed(bytes, [silence](std::byte* to, std::size_t, std::size_t n) {
    std::memset(to, std::to_integer<int>(silence), n);
  });
}

}  // namespace tarvok
