#include "core/audio/pcm_conversion.h"

#include <algorithm>
#include <cmath>

namespace tarvok {

namespace {

// A sample of `bytes` bytes, little-endian, as a 16-bit value (8-bit samples are unsigned).
std::int32_t Sample16(const std::byte* p, int bytes) {
  if (bytes == 1)
    return (std::to_integer<std::int32_t>(p[0]) - 128) * 256;
  // The two most significant bytes of a signed sample.
  return static_cast<std::int16_t>(std::to_integer<std::uint16_t>(p[bytes - 2]) |
                                   std::to_integer<std::uint16_t>(p[bytes - 1]) << 8);
}

}  // namespace

void DecodeMono(std::span<const std::byte> frames, int channels, int bitsPerSample,
                std::vector<std::int16_t>& out) {
  const int bytes = bitsPerSample / 8;
  const auto frameBytes = static_cast<std::size_t>(std::max(bytes * channels, 1));
  for (std::size_t f = 0; f + frameBytes <= frames.size(); f += frameBytes) {
    std::int32_t sum = 0;
    for (int c = 0; c < channels; ++c)
      sum += Sample16(frames.data() + f + static_cast<std::size_t>(c * bytes), bytes);
    out.push_back(static_cast<std::int16_t>(sum / channels));
  }
}

void EncodeFrames(std::span<const std::int16_t> samples, int channels, int bitsPerSample,
                  std::vector<std::byte>& out) {
  const int bytes = bitsPerSample / 8;
  for (const std::int16_t s : samples) {
    const auto u = static_cast<std::uint16_t>(s);
    for (int c = 0; c < channels; ++c) {
      if (bytes == 1) {
        out.push_back(static_cast<std::byte>((s >> 8) + 128));
        continue;
      }
      // The sample fills the two most significant bytes; any below are zero.
      out.insert(out.end(), static_cast<std::size_t>(bytes - 2), std::byte{0});
      out.push_back(static_cast<std::byte>(u & 0xFF));
      out.push_back(static_cast<std::byte>(u >> 8));
    }
  }
}

TResampler::TResampler(int fromRate, int toRate) : from_(fromRate), to_(toRate) {}

void TResampler::Process(std::span<const std::int16_t> in, std::vector<std::int16_t>& out) {
  const auto n = static_cast<std::int64_t>(in.size());
  if (n == 0)
    return;
  const auto at = [&](std::int64_t i) {
    return i < 0 ? previous_ : in[static_cast<std::size_t>(i)];
  };
  for (; position_ <= (n - 1) * to_; position_ += from_) {
    // position_ is at least -to_, so this is the floor.
    const std::int64_t i0 = position_ >= 0 ? position_ / to_ : -1;
    const std::int64_t frac = position_ - i0 * to_;
    if (frac == 0) {
      out.push_back(at(i0));
      continue;
    }
    const double value = (static_cast<double>(at(i0)) * static_cast<double>(to_ - frac) +
                          static_cast<double>(at(i0 + 1)) * static_cast<double>(frac)) /
                         static_cast<double>(to_);
    out.push_back(static_cast<std::int16_t>(std::lround(value)));
  }
  position_ -= n * to_;
  previous_ = in.back();
}

}  // namespace tarvok
