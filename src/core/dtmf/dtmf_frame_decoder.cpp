#include "core/dtmf/dtmf_frame_decoder.h"

#include <algorithm>
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
// A key begins with both tones within 2.5 % of their frequencies, and once reported lasts while
// they stay within 3.5 %: a tone near the limit then neither splits a press nor starts another.
constexpr double kAcceptOffset = 0.025;
constexpr double kHoldOffset = 0.035;
// A second harmonic this strong is a voice or an instrument.
const double kHarmonic = Decibels(-10);
// A clean frame: with the two tones taken out, no sine that is left (a third note, a voice's
// harmonic) comes within 10 dB of the weaker tone, nor a second harmonic within 15 dB of its
// tone. Noise spreads over the band, so a key 3 dB above white noise still has clean frames.
const double kCleanPeak = Decibels(-10);
const double kCleanHarmonic = Decibels(-15);
// What is left is probed every 40 Hz over the band, except next to the tones, where what a tone
// leaves is the fit's error, not another sound.
constexpr double kProbeStep = 40;
constexpr double kLowestProbe = 200;
constexpr double kHighestProbe = 3600;
constexpr double kProbeClearance = 100;
constexpr int kKeyFrames = 6;    // a key is taken after 30 ms
constexpr int kCleanFrames = 3;  // of which this many clean
// Share of its frequency a tone may glide by per frame over the clean frames of a press.
constexpr double kMaxDrift = 0.0025;
constexpr int kReleaseFrames = 5;  // a key is let go after 25 ms without it

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

// The energy a frame holds at `frequency`, as a sine of that frequency would show it.
double EnergyAt(const double* frame, double frequency) {
  const std::complex<double> step =
      std::polar(1.0, -kTwoPi * frequency / TDtmfFrameDecoder::kSampleRate);
  std::complex<double> phasor(1, 0);
  std::complex<double> sum;
  for (int n = 0; n < TDtmfFrameDecoder::kFrameLength; ++n) {
    sum += frame[n] * phasor;
    phasor *= step;
  }
  return 2 * std::norm(sum) / TDtmfFrameDecoder::kFrameLength;
}

}  // namespace

TDtmfFrameDecoder::TDtmfFrameDecoder() {
  for (int i = 0; i < kTones; ++i) {
    frequencies_[i] = TDtmfDetector::kTones[i / 4][i % 4];
    for (int n = 0; n < kFrameLength; ++n) {
      const double phase = kTwoPi * frequencies_[i] * n / kSampleRate;
      tones_[i][n] = std::polar(1.0, -phase);
    }
  }
}

void TDtmfFrameDecoder::Reset() {
  pending_.clear();
  pendingStart_ = 0;
  havePrevious_ = false;
  candidate_ = run_ = 0;
  candidateEvidence_ = runEvidence_ = {};
  gapFrames_ = 0;
  reported_ = false;
}

void TDtmfFrameDecoder::Process(std::span<const std::int32_t> samples, std::vector<TKey>& keys) {
  pending_.insert(pending_.end(), samples.begin(), samples.end());
  std::size_t start = 0;
  for (; start + kFrameLength <= pending_.size(); start += kFrameStep)
    Follow(Analyse(&pending_[start]), pendingStart_ + static_cast<std::int64_t>(start), keys);
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(start));
  pendingStart_ += static_cast<std::int64_t>(start);
}

TDtmfFrameDecoder::TFrame TDtmfFrameDecoder::Analyse(const double* frame) {
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
    return {};

  TFrame result;
  result.Firm = true;
  std::array<int, 2> strongest{};
  std::array<double, 2> frequency{};
  std::array<double, 2> toneEnergy{};
  std::array<std::complex<double>, 2> amplitude{};  // of each tone's phasor at the frame's start
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
      return {};
    // A sine turns by 2 pi f x step between frames; what it turns beyond the nominal tone's turn
    // is its offset from that tone.
    const double nominalTurn = kTwoPi * frequencies_[best] * kFrameStep / kSampleRate;
    const double turn =
        std::arg(bins[best] * std::conj(previous[best]) * std::polar(1.0, -nominalTurn));
    const double offset = turn * kSampleRate / (kTwoPi * kFrameStep);
    const double share = offset / frequencies_[best];
    if (std::abs(share) > kHoldOffset)
      return {};
    result.Firm = result.Firm && std::abs(share) <= kAcceptOffset;
    result.Offsets[group] = share;
    const double gain = BinGain(offset);
    strongest[group] = best;
    frequency[group] = frequencies_[best] + offset;
    toneEnergy[group] = 2 * std::norm(bins[best]) / (kFrameLength * gain * gain);
    // The bin sums the tone's phasor turning by the offset over the frame: gain times its value
    // in the frame's middle.
    amplitude[group] = bins[best] / (kFrameLength * gain) *
                       std::polar(1.0, -kTwoPi * offset * (kFrameLength - 1) / 2 / kSampleRate);
  }
  const double high = toneEnergy[0];
  const double low = toneEnergy[1];
  if (high > low * kMaxTwist || low > high * kMaxReverseTwist)
    return {};
  if (high + low < kShare * energy)
    return {};
  if (SpectrumLevel(high) <= level_ || SpectrumLevel(low) <= level_)
    return {};

  // What is left of the frame once both tones are taken out.
  std::array<double, kFrameLength> residual;
  for (int g = 0; g < 2; ++g) {
    const std::complex<double> step = std::polar(1.0, kTwoPi * frequency[g] / kSampleRate);
    std::complex<double> phasor = amplitude[g];
    for (int n = 0; n < kFrameLength; ++n) {
      residual[n] = (g == 0 ? frame[n] : residual[n]) - 2 * phasor.real();
      phasor *= step;
    }
  }
  const double highHarmonic = EnergyAt(residual.data(), 2 * frequency[0]);
  const double lowHarmonic = EnergyAt(residual.data(), 2 * frequency[1]);
  if (highHarmonic > high * kHarmonic || lowHarmonic > low * kHarmonic)
    return {};
  result.Key = TDtmfDetector::kKeys[(strongest[1] - 4) * 4 + strongest[0]];
  double strongestLeft = 0;
  for (double f = kLowestProbe; f < kHighestProbe; f += kProbeStep) {
    if (std::abs(f - frequency[0]) > kProbeClearance &&
        std::abs(f - frequency[1]) > kProbeClearance)
      strongestLeft = std::max(strongestLeft, EnergyAt(residual.data(), f));
  }
  result.Clean = strongestLeft <= kCleanPeak * std::min(high, low) &&
                 highHarmonic <= high * kCleanHarmonic && lowHarmonic <= low * kCleanHarmonic;
  return result;
}

void TDtmfFrameDecoder::TEvidence::Add(const TFrame& frame) {
  const double x = Frames++;
  if (!frame.Clean)
    return;
  ++CleanFrames;
  SumX += x;
  SumXX += x * x;
  for (int g = 0; g < 2; ++g) {
    SumY[g] += frame.Offsets[g];
    SumXY[g] += x * frame.Offsets[g];
  }
}

bool TDtmfFrameDecoder::TEvidence::Convinces() const {
  if (Frames < kKeyFrames || CleanFrames < kCleanFrames)
    return false;
  const double spread = CleanFrames * SumXX - SumX * SumX;
  for (int g = 0; g < 2; ++g) {
    const double slope = (CleanFrames * SumXY[g] - SumX * SumY[g]) / spread;
    if (std::abs(slope) > kMaxDrift)
      return false;
  }
  return true;
}

// Holds a key through short gaps; a different key takes over once it has lasted on its own.
void TDtmfFrameDecoder::Follow(const TFrame& frame, std::int64_t frameStart,
                               std::vector<TKey>& keys) {
  // Tones between the accept and the hold limit only keep up a key already reported.
  const bool holding = reported_ && frame.Key == candidate_;
  const char key = frame.Firm || holding ? frame.Key : 0;
  // A frame counts only with the one before it (their phases give the frequency), so a key begins
  // about where half of that earlier frame holds it.
  const std::int64_t start = frameStart - kFrameStep + kFrameLength / 2;
  if (key != 0 && key == run_) {
    runEvidence_.Add(frame);
  } else {
    run_ = key;
    runEvidence_ = {};
    runEvidence_.Add(frame);
    runStart_ = start;
  }
  if (key != 0 && key == candidate_) {
    candidateEvidence_.Add(frame);
    gapFrames_ = 0;
  } else {
    if (candidate_ != 0 && ++gapFrames_ >= kReleaseFrames)
      candidate_ = 0;
    if (key != 0 && (candidate_ == 0 || !reported_ || runEvidence_.Frames >= kKeyFrames)) {
      candidate_ = key;
      candidateEvidence_ = runEvidence_;
      candidateStart_ = runStart_;
      reported_ = false;
      gapFrames_ = 0;
    }
  }
  if (candidate_ != 0 && !reported_ && candidateEvidence_.Convinces()) {
    keys.push_back({candidate_, candidateStart_});
    reported_ = true;
  }
}

}  // namespace tarvok
