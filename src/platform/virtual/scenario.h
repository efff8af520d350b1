// The inputs of the virtual sound card over time: what the receiver line and the PC line carry,
// read from a scenario file (its format is described in the README). Rendering is a pure function
// of the sample position, so a scenario sounds the same however the card is stepped.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tarvok {

enum class TScenarioLine { Receiver, Pc };

struct TScenarioEvent {
  enum class TKind { Silence, Tone, Noise, Wav, Dtmf };

  std::int64_t Start = 0;  // sample position
  TKind Kind = TKind::Silence;
  double Frequency = 0.0;
  double Amplitude = 0.0;  // peak, in sample units
  QString Keys;
  std::int64_t ToneSamples = 0;
  std::int64_t PauseSamples = 0;
  std::shared_ptr<const std::vector<std::int16_t>> Samples;
  std::uint64_t Seed = 0;
};

class TScenario {
 public:
  static constexpr int kSampleRate = 8000;

  // Reads a scenario file; false with a message naming the file and line when it is not valid.
  static bool Load(const QString& path, TScenario& scenario, QString& error);
  static bool Parse(const QString& text, const QString& folder, TScenario& scenario,
                    QString& error);

  // The samples of a line from a sample position on.
  void Render(TScenarioLine line, std::int64_t position, std::span<std::int16_t> out) const;

  // The first sample position from `position` on at which either line may sound; the largest
  // position when both stay silent.
  std::int64_t QuietUntil(std::int64_t position) const;

  std::int64_t RepeatSamples() const { return repeat_; }
  // A line's events in the order of their start.
  const std::vector<TScenarioEvent>& Events(TScenarioLine line) const {
    return line == TScenarioLine::Receiver ? receiver_ : pc_;
  }

 private:
  std::vector<TScenarioEvent> receiver_;
  std::vector<TScenarioEvent> pc_;
  std::int64_t repeat_ = 0;  // 0: play once
};

}  // namespace tarvok
