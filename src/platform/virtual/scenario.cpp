#include "platform/virtual/scenario.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

#include "core/audio/pcm_conversion.h"
#include "core/audio/wav_reader.h"

namespace tarvok {

namespace {

constexpr double kFullScale = 32767.0;
constexpr char kDtmfKeys[] = "123A456B789C*0#D";
constexpr double kDtmfRows[] = {697.0, 770.0, 852.0, 941.0};
constexpr double kDtmfColumns[] = {1209.0, 1336.0, 1477.0, 1633.0};

double Sine(double frequency, std::int64_t offset) {
  return std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(offset) /
                  TScenario::kSampleRate);
}

// White noise that depends only on the event and the offset (splitmix64).
double Noise(std::uint64_t seed, std::int64_t offset) {
  std::uint64_t z = seed * 0x9E3779B97F4A7C15ull + static_cast<std::uint64_t>(offset);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<double>(z >> 11) / static_cast<double>(1ull << 53) * 2.0 - 1.0;
}

double DtmfSample(const TScenarioEvent& e, std::int64_t offset) {
  const std::int64_t period = e.ToneSamples + e.PauseSamples;
  const std::int64_t key = period > 0 ? offset / period : e.Keys.size();
  if (key >= e.Keys.size() || offset % period >= e.ToneSamples)
    return 0.0;
  const auto index = static_cast<int>(std::strchr(kDtmfKeys, e.Keys[key].toLatin1()) - kDtmfKeys);
  return e.Amplitude / 2.0 *
         (Sine(kDtmfRows[index / 4], offset) + Sine(kDtmfColumns[index % 4], offset));
}

double EventSample(const TScenarioEvent& e, std::int64_t offset) {
  switch (e.Kind) {
    case TScenarioEvent::TKind::Silence:
      return 0.0;
    case TScenarioEvent::TKind::Tone:
      return e.Amplitude * Sine(e.Frequency, offset);
    case TScenarioEvent::TKind::Noise:
      return e.Amplitude * Noise(e.Seed, offset);
    case TScenarioEvent::TKind::Wav:
      return offset < static_cast<std::int64_t>(e.Samples->size())
                 ? (*e.Samples)[static_cast<std::size_t>(offset)]
                 : 0.0;
    case TScenarioEvent::TKind::Dtmf:
      return DtmfSample(e, offset);
  }
  return 0.0;
}

// Parses one number argument; false when it is missing or not a number.
bool Number(const QStringList& words, int at, double& value) {
  if (at >= words.size())
    return false;
  bool ok = false;
  value = words[at].toDouble(&ok);
  return ok && std::isfinite(value);
}

bool Level(const QStringList& words, int at, double& amplitude, QString& error) {
  double db = 0.0;
  if (!Number(words, at, db) || db > 0.0) {
    error = QStringLiteral("a level in dBFS (0 or less) is expected");
    return false;
  }
  amplitude = kFullScale * std::pow(10.0, db / 20.0);
  return true;
}

// The positions the card reaches in any run, with room to add a tone and a pause: about 17800
// years of audio. A time past them would overflow the sample arithmetic.
constexpr std::int64_t kMaxSamples = std::int64_t{1} << 52;

// A time of 0 seconds or more as a sample position; false when the card never gets there.
bool Samples(double seconds, std::int64_t& samples, QString& error) {
  const double count = std::round(seconds * TScenario::kSampleRate);
  if (count > static_cast<double>(kMaxSamples)) {
    error = QStringLiteral("%1 s lies past what the card can reach (%2 s)")
                .arg(seconds)
                .arg(kMaxSamples / TScenario::kSampleRate);
    return false;
  }
  samples = static_cast<std::int64_t>(count);
  return true;
}

bool ParseEvent(const QStringList& words, const QString& folder, TScenarioEvent& e,
                QString& error) {
  const QString kind = words[2].toLower();
  if (kind == "silence" && words.size() == 3) {
    e.Kind = TScenarioEvent::TKind::Silence;
    return true;
  }
  if (kind == "tone" && words.size() == 5) {
    e.Kind = TScenarioEvent::TKind::Tone;
    if (!Number(words, 3, e.Frequency) || e.Frequency <= 0.0 ||
        e.Frequency >= TScenario::kSampleRate / 2.0) {
      error = QStringLiteral("a frequency above 0 and below 4000 Hz is expected");
      return false;
    }
    return Level(words, 4, e.Amplitude, error);
  }
  if (kind == "noise" && words.size() == 4) {
    e.Kind = TScenarioEvent::TKind::Noise;
    return Level(words, 3, e.Amplitude, error);
  }
  if (kind == "wav" && words.size() == 4) {
    e.Kind = TScenarioEvent::TKind::Wav;
    const QString path = QDir(folder).filePath(words[3]);
    const TWavSamples wav = ReadWavSamples(path);
    if (!wav.IsValid()) {
      error = QStringLiteral("cannot read WAV file %1: %2").arg(path, wav.Error);
      return false;
    }
    auto samples = std::make_shared<std::vector<std::int16_t>>();
    TResampler(static_cast<int>(wav.Format.SamplesPerSec), TScenario::kSampleRate)
        .Process(wav.Samples, *samples);
    e.Samples = std::move(samples);
    return true;
  }
  if (kind == "dtmf" && words.size() >= 4 && words.size() <= 7) {
    e.Kind = TScenarioEvent::TKind::Dtmf;
    e.Keys = words[3].toUpper();
    if (!QRegularExpression(QStringLiteral("^[0-9A-D*#]+$")).match(e.Keys).hasMatch()) {
      error = QStringLiteral("DTMF keys are 0 to 9, A to D, * and #");
      return false;
    }
    double tone = 100.0;
    double pause = 100.0;
    e.Amplitude = kFullScale * std::pow(10.0, -10.0 / 20.0);
    if ((words.size() > 4 && (!Number(words, 4, tone) || tone <= 0.0)) ||
        (words.size() > 5 && (!Number(words, 5, pause) || pause < 0.0))) {
      error = QStringLiteral("tone and pause lengths in milliseconds are expected");
      return false;
    }
    return Samples(tone / 1000.0, e.ToneSamples, error) &&
           Samples(pause / 1000.0, e.PauseSamples, error) &&
           (words.size() <= 6 || Level(words, 6, e.Amplitude, error));
  }
  error =
      QStringLiteral("unknown signal or wrong number of arguments: %1").arg(words.mid(2).join(' '));
  return false;
}

bool ParseLine(const QStringList& words, const QString& folder,
               std::vector<TScenarioEvent>& receiver, std::vector<TScenarioEvent>& pc,
               std::int64_t& repeat, QString& error) {
  double seconds = 0.0;
  if (words[0].toLower() == "repeat") {
    // Shorter than a sample would be no repeat at all.
    if (words.size() != 2 || !Number(words, 1, seconds) || seconds < 1.0 / TScenario::kSampleRate) {
      error = QStringLiteral("repeat needs a length in seconds");
      return false;
    }
    return Samples(seconds, repeat, error);
  }
  if (!Number(words, 0, seconds) || seconds < 0.0) {
    error = QStringLiteral("a time in seconds is expected, not \"%1\"").arg(words[0]);
    return false;
  }
  const QString line = words.size() > 1 ? words[1].toLower() : QString();
  if (line != "rx" && line != "pc") {
    error = QStringLiteral("the line is rx (receiver) or pc (PC audio)");
    return false;
  }
  if (words.size() < 3) {
    error = QStringLiteral("a signal is expected");
    return false;
  }
  TScenarioEvent event;
  if (!Samples(seconds, event.Start, error))
    return false;
  std::vector<TScenarioEvent>& events = line == "rx" ? receiver : pc;
  event.Seed = receiver.size() + pc.size() + 1;
  if (!ParseEvent(words, folder, event, error))
    return false;
  events.push_back(std::move(event));
  return true;
}

}  // namespace

bool TScenario::Load(const QString& path, TScenario& scenario, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    error = QStringLiteral("Cannot read the scenario file %1: %2").arg(path, file.errorString());
    return false;
  }
  if (Parse(QString::fromUtf8(file.readAll()), QFileInfo(path).absolutePath(), scenario, error))
    return true;
  error = QStringLiteral("Scenario file %1, %2").arg(path, error);
  return false;
}

bool TScenario::Parse(const QString& text, const QString& folder, TScenario& scenario,
                      QString& error) {
  std::vector<TScenarioEvent> receiver;
  std::vector<TScenarioEvent> pc;
  std::int64_t repeat = 0;
  const QStringList lines = text.split('\n');
  for (int n = 0; n < lines.size(); ++n) {
    // "#" is a DTMF key, so only whole lines are comments.
    const QString content = lines[n].trimmed();
    if (content.isEmpty() || content.startsWith('#'))
      continue;
    const QStringList words = content.split(QRegularExpression(QStringLiteral("\\s+")));
    if (!ParseLine(words, folder, receiver, pc, repeat, error)) {
      error = QStringLiteral("line %1: %2").arg(n + 1).arg(error);
      return false;
    }
  }
  const auto byStart = [](const TScenarioEvent& a, const TScenarioEvent& b) {
    return a.Start < b.Start;
  };
  std::stable_sort(receiver.begin(), receiver.end(), byStart);
  std::stable_sort(pc.begin(), pc.end(), byStart);
  scenario.receiver_ = std::move(receiver);
  scenario.pc_ = std::move(pc);
  scenario.repeat_ = repeat;
  return true;
}

std::int64_t TScenario::QuietUntil(std::int64_t position) const {
  const auto sounds = [](const TScenarioEvent& e) {
    return e.Kind != TScenarioEvent::TKind::Silence;
  };
  const auto after = [](std::int64_t v, const TScenarioEvent& e) { return v < e.Start; };
  const std::int64_t t = repeat_ > 0 ? position % repeat_ : position;
  std::int64_t until = std::numeric_limits<std::int64_t>::max();
  for (const std::vector<TScenarioEvent>* events : {&receiver_, &pc_}) {
    const auto next = std::upper_bound(events->begin(), events->end(), t, after);
    if (next != events->begin() && sounds(*(next - 1)))
      return position;
    if (const auto sounding = std::find_if(next, events->end(), sounds); sounding != events->end())
      until = std::min(until, position + sounding->Start - t);
    else if (const auto first = std::find_if(events->begin(), events->end(), sounds);
             repeat_ > 0 && first != events->end())
      until = std::min(until, position + repeat_ - t + first->Start);
  }
  return until;
}

void TScenario::Render(TScenarioLine line, std::int64_t position,
                       std::span<std::int16_t> out) const {
  const std::vector<TScenarioEvent>& events = Events(line);
  for (std::size_t i = 0; i < out.size(); ++i) {
    std::int64_t t = position + static_cast<std::int64_t>(i);
    if (repeat_ > 0)
      t %= repeat_;
    const auto next =
        std::upper_bound(events.begin(), events.end(), t,
                         [](std::int64_t v, const TScenarioEvent& e) { return v < e.Start; });
    const double v = next == events.begin() ? 0.0 : EventSample(*(next - 1), t - (next - 1)->Start);
    out[i] = static_cast<std::int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
  }
}

}  // namespace tarvok
