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

namespace {

// A Blackman-windowed sinc with unit gain at 0 Hz: the pass band ends at 45 % of the new rate, the
// stop band (some 74 dB down) begins at 55 %.
std::vector<double> LowPassTaps(std::int64_t from, std::int64_t to) {
  if (to >= from)
    return {1.0};
  const double cutoff = 0.5 * static_cast<double>(to) / static_cast<double>(from);
  const auto count = static_cast<std::size_t>(55 * from / to) | 1;
  const double middle = static_cast<double>(count - 1) / 2;
  std::vector<double> taps(count);
  double sum = 0;
  for (std::size_t k = 0; k < count; ++k) {
    const double t = static_cast<double>(k) - middle;
    const double sinc = t == 0 ? 2 * cutoff : std::sin(2 * M_PI * cutoff * t) / (M_PI * t);
    const double phase = 2 * M_PI * static_cast<double>(k) / static_cast<double>(count - 1);
    taps[k] = sinc * (0.42 - 0.5 * std::cos(phase) + 0.08 * std::cos(2 * phase));
    sum += taps[k];
  }
  for (double& tap : taps)
    tap /= sum;
  return taps;
}

}  // namespace

TAntiAliasResampler::TAntiAliasResampler(int fromRate, int toRate)
    : from_(fromRate), to_(toRate), taps_(LowPassTaps(fromRate, toRate)) {
  history_.assign(taps_.size() - 1, 0.0);
  position_ = static_cast<std::int64_t>(history_.size()) * to_;
}

double TAntiAliasResampler::Filtered(std::size_t index) const {
  double sum = 0;
  for (std::size_t k = 0; k < taps_.size(); ++k)
    sum += taps_[k] * history_[index - k];
  return sum;
}

void TAntiAliasResampler::Process(std::span<const std::int16_t> in,
                                  std::vector<std::int16_t>& out) {
  history_.insert(history_.end(), in.begin(), in.end());
  const auto last = static_cast<std::int64_t>(history_.size()) - 1;
  for (; position_ <= last * to_; position_ += from_) {
    const auto i0 = static_cast<std::size_t>(position_ / to_);
    const std::int64_t frac = position_ % to_;
    double value = Filtered(i0);
    if (frac != 0)
      value += (Filtered(i0 + 1) - value) * static_cast<double>(frac) / static_cast<double>(to_);
    out.push_back(static_cast<std::int16_t>(std::clamp(std::lround(value), -32768L, 32767L)));
  }
  // Keep what the filter reads for the next output.
  const std::int64_t drop = position_ / to_ - static_cast<std::int64_t>(taps_.size() - 1);
  if (drop > 0) {
    history_.erase(history_.begin(), history_.begin() + drop);
    position_ -= drop * to_;
  }
}

}  // namespace tarvok
