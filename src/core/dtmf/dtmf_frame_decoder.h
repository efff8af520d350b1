// Decodes DTMF keys from a stream of samples at 8000 per second, the way telephone receivers do.
// The stream is cut into short overlapping frames whatever blocks it arrives in. In each frame the
// eight tones are measured by correlation with tables of each tone's sine and cosine; a frame holds
// a key when the strongest tone of each group stands well clear of the other tones of its group,
// both sit within 2.5 % of their nominal frequencies (measured from the phase turn between frames),
// the twist between them is within bounds, together they hold most of the frame's energy, neither
// has a strong second harmonic, and both reach the detection level. Voices and instruments pass
// that now and then, so a press must also show a few clean frames, where the two tones taken out
// leave no other sine nearly as strong and no second harmonic, and keep its frequencies steady,
// which glides and vibrato do not. A key is reported once it has lasted about 30 ms, once per
// press: gaps shorter than the pause between two presses do not split it, nor does a tone drifting
// up to 3.5 % off.
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <span>
#include <vector>

namespace tarvok {

class TDtmfFrameDecoder {
 public:
  static constexpr int kSampleRate = 8000;
  static constexpr int kFrameLength = 100;  // 12.5 ms
  static constexpr int kFrameStep = 40;     // 5 ms

  struct TKey {
    char Key = 0;
    std::int64_t StartSample = 0;  // where the tones began, counted from the stream's start
  };

  TDtmfFrameDecoder();

  // The detection level on the spectrum's scale (5 x log10 of a 2048-point bin's power / 2048):
  // each tone must reach above it.
  void SetLevel(int level) { level_ = level; }

  // Takes the next samples of the stream and appends each key recognised in them.
  void Process(std::span<const std::int32_t> samples, std::vector<TKey>& keys);
  // Starts a new stream at sample 0.
  void Reset();

 private:
  static constexpr int kTones = 8;  // the four high tones, then the four low tones
  using TTable = std::array<std::complex<double>, kFrameLength>;

  // What one frame shows: a key, or 0.
  struct TFrame {
    char Key = 0;
    bool Firm = false;  // both tones within the accept limit, not only the hold limit
    bool Clean = false;
    std::array<double, 2> Offsets{};  // of the high and the low tone, as shares of their frequency
  };
  // What the frames of one key have shown so far.
  struct TEvidence {
    int Frames = 0;
    int CleanFrames = 0;
    // Sums over the clean frames for a straight line through each tone's offset by frame: a
    // tone that glides or wobbles shows a slope that a key's tone, however jittery, does not.
    double SumX = 0;
    double SumXX = 0;
    std::array<double, 2> SumY{};
    std::array<double, 2> SumXY{};
    void Add(const TFrame& frame);
    bool Convinces() const;
  };

  TFrame Analyse(const double* frame);
  void Follow(const TFrame& frame, std::int64_t frameStart, std::vector<TKey>& keys);

  std::array<double, kTones> frequencies_{};
  std::array<TTable, kTones> tones_{};
  std::array<std::complex<double>, kTones> previous_{};
  bool havePrevious_ = false;
  int level_ = 0;

  std::vector<double> pending_;
  std::int64_t pendingStart_ = 0;  // stream position of pending_[0]

  char candidate_ = 0;  // the key being held, or 0
  TEvidence candidateEvidence_;
  std::int64_t candidateStart_ = 0;
  bool reported_ = false;
  int gapFrames_ = 0;  // frames since the candidate was last seen
  char run_ = 0;       // the key of the latest frames in a row
  TEvidence runEvidence_;
  std::int64_t runStart_ = 0;
};

}  // namespace tarvok
