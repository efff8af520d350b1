#include "core/dtmf/dtmf_frame_decoder.h"

#include <cmath>
#include <numbers>

#include "core/dtmf/dtmf_detector.h"

namespace tarvok {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
double Decibels(double db) { return std::pow(10.0, db / 10); }

// The other tones of a group stay this far below its strongest.
const double kGroupRatio = Decibels(8);
// The high tone may stand up to 6 dB above and 10 dB below the low tone.
const double kMaxTwist = Decibels(6);
const double kMaxReverseTwist = Decibels(10);
// Share of the frame's energy the two tones hold together; a frame only partly filled by the key
// holds about as much as that part, so tones count from where half of them fills a frame.
constexpr double kShare = 0.6;
constexpr double kFrequencyTolerance = 0.025;
// A second harmonic this strong is a voice or an instrument. For a low tone the bin also takes in
// some of the high tone next to it, hence the looser bound.
const double kHighHarmonic = Decibels(-10);
const double kLowHarmonic = Decibels(0);
constexpr int kKeyFrames = 6;      // a key is taken after 30 ms
constexpr int kReleaseFrames = 5;  // and let go after 25 ms without it

// The level of a sine of this energy per frame as the spectrum shows it: 5 x log10(512 A^2).
double SpectrumLevel(double energy) {
  const double squaredAmplitude = 2 * energy / TDtmfFrameDecoder::kFrameLength;
  return 5 * std::log10(512 * squaredAmplitude);
}

// How much of a sine `offset` Hz away from a bin's frequency that bin sees.
double BinGain(double offset) {
  const double x = std::numbers::pi * offset / TDtmfFrameDecoder::kSampleRate;
  if (std::abs(x) < 1e-12)
    return 1;
  return std::sin(TDtmfFrameDecoder::kFrameLength * x) /
         (TDtmfFrameDecoder::kFrameLength * std::sin(x));
}

std::complex<double> Correlate(const double* frame, const std::complex<double>* table) {
  std::complex<double> sum;
  for (int n = 0; n < TDtmfFrameDecoder::kFrameLength; ++n)
    sum += frame[n] * table[n];
  return sum;
}

}  // namespace

TDtmfFrameDecoder::TDtmfFrameDecoder() {
  for (int i = 0; i < kTones; ++i) {
    frequencies_[i] = TDtmfDetector::kTones[i / 4][i % 4];
    for (int n = 0; n < kFrameLength; ++n) {
      const double phase = kTwoPi * frequencies_[i] * n / kSampleRate;
      tones_[i][n] = std::polar(1.0, -phase);
      harmonics_[i][n] = std::polar(1.0, -2 * phase);
    }
  }
}

void TDtmfFrameDecoder::Reset() {
  pending_.clear();
  pendingStart_ = 0;
  havePrevious_ = false;
  candidate_ = run_ = 0;
  candidateFrames_ = runFrames_ = gapFrames_ = 0;
  reported_ = false;
}

void TDtmfFrameDecoder::Process(std::span<const std::int32_t> samples, std::vector<TKey>& keys) {
  pending_.insert(pending_.end(), samples.begin(), samples.end());
  std::size_t start = 0;
  for (; start + kFrameLength <= pending_.size(); start += kFrameStep)
    Follow(FrameKey(&pending_[start]), pendingStart_ + static_cast<std::int64_t>(start), keys);
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(start));
  pendingStart_ += static_cast<std::int64_t>(start);
}

char TDtmfFrameDecoder::FrameKey(const double* frame) {
  double energy = 0;
  for (int n = 0; n < kFrameLength; ++n)
    energy += frame[n] * frame[n];
  std::array<std::complex<double>, kTones> bins;
  for (int i = 0; i < kTones; ++i)
    bins[i] = Correlate(frame, tones_[i].data());
  const std::array<std::complex<double>, kTones> previous = previous_;
  const bool hadPrevious = havePrevious_;
  previous_ = bins;
  havePrevious_ = true;
  if (!hadPrevious || energy <= 0)
    return 0;

  std::array<int, 2> strongest{};
  std::array<double, 2> toneEnergy{};
  for (int group = 0; group < 2; ++group) {
    int best = group * 4;
    double second = 0;
    for (int i = group * 4 + 1; i < group * 4 + 4; ++i) {
      if (std::norm(bins[i]) > std::norm(bins[best])) {
        second = std::norm(bins[best]);
        best = i;
      } else {
        second = std::max(second, std::norm(bins[i]));
      }
    }
    if (second * kGroupRatio > std::norm(bins[best]))
      return 0;
    // A sine turns by 2 pi f x step between frames; what it turns beyond the nominal tone's turn
    // is its offset from that tone.
    const double nominalTurn = kTwoPi * frequencies_[best] * kFrameStep / kSampleRate;
    const double turn =
        std::arg(bins[best] * std::conj(previous[best]) * std::polar(1.0, -nominalTurn));
    const double offset = turn * kSampleRate / (kTwoPi * kFrameStep);
    if (std::abs(offset) > kFrequencyTolerance * frequencies_[best])
      return 0;
    const double gain = BinGain(offset);
    strongest[group] = best;
    toneEnergy[group] = 2 * std::norm(bins[best]) / (kFrameLength * gain * gain);
  }
  const double high = toneEnergy[0];
  const double low = toneEnergy[1];
  if (high > low * kMaxTwist || low > high * kMaxReverseTwist)
    return 0;
  if (high + low < kShare * energy)
    return 0;
  if (SpectrumLevel(high) <= level_ || SpectrumLevel(low) <= level_)
    return 0;
  const double highHarmonic =
      2 * std::norm(Correlate(frame, harmonics_[strongest[0]].data())) / kFrameLength;
  const double lowHarmonic =
      2 * std::norm(Correlate(frame, harmonics_[strongest[1]].data())) / kFrameLength;
  if (highHarmonic > high * kHighHarmonic || lowHarmonic > low * kLowHarmonic)
    return 0;
  return TDtmfDetector::kKeys[(strongest[1] - 4) * 4 + strongest[0]];
}

// Holds a key through short gaps; a different key takes over once it has lasted on its own.
void TDtmfFrameDecoder::Follow(char key, std::int64_t frameStart, std::vector<TKey>& keys) {
  // A frame counts only with the one before it (their phases give the frequency), so a key begins
  // about where half of that earlier frame holds it.
  const std::int64_t start = frameStart - kFrameStep + kFrameLength / 2;
  if (key != 0 && key == run_) {
    ++runFrames_;
  } else {
    run_ = key;
    runFrames_ = 1;
    runStart_ = start;
  }
  if (key != 0 && key == candidate_) {
    ++candidateFrames_;
    gapFrames_ = 0;
  } else {
    if (candidate_ != 0 && ++gapFrames_ >= kReleaseFrames)
      candidate_ = 0;
    if (key != 0 && (candidate_ == 0 || !reported_ || runFrames_ >= kKeyFrames)) {
      candidate_ = key;
      candidateFrames_ = runFrames_;
      candidateStart_ = runStart_;
      reported_ = false;
      gapFrames_ = 0;
    }
  }
  if (candidate_ != 0 && !reported_ && candidateFrames_ >= kKeyFrames) {
    keys.push_back({candidate_, candidateStart_});
    reported_ = true;
  }
}

}  // namespace tarvok
