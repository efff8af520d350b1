// Capture pieces of any length become blocks of the requested length, in order.
#include <gtest/gtest.h>

#include <vector>

#include "core/audio/block_assembler.h"

namespace tarvok {
namespace {

TEST(BlockAssemblerTest, PiecesOfAnyLengthBecomeWholeBlocksInOrder) {
  std::vector<std::vector<std::byte>> blocks;
  TBlockAssembler assembler(
      4, [&](std::span<const std::byte> b) { blocks.emplace_back(b.begin(), b.end()); });
  std::vector<std::byte> bytes;
  for (int i = 1; i <= 7; ++i)
    bytes.push_back(static_cast<std::byte>(i));
  assembler.Append(std::span(bytes).first(3));
  assembler.Append(std::span(bytes).subspan(3));
  assembler.AppendSilence(1);
  assembler.Append(std::span(bytes).first(1));
  assembler.Discard();
  assembler.Append(std::span(bytes).first(4));
  using B = std::vector<std::byte>;
  auto b = [](std::initializer_list<int> v) {
    B out;
    for (int x : v)
      out.push_back(static_cast<std::byte>(x));
    return out;
  };
  EXPECT_EQ(blocks, (std::vector<B>{b({1, 2, 3, 4}), b({5, 6, 7, 0}), b({1, 2, 3, 4})}));
}

}  // namespace
}  // namespace tarvok
