// Scenario files of the virtual card: a file that is accepted has its events in order within the
// card's reach, a repeat line that is accepted repeats, and the audio at a position is the same
// however the card steps through it.
#include <QStringList>

#include "fuzz_support.h"
#include "platform/virtual/scenario.h"

using namespace tarvok;
using tarvok::fuzz::Check;

namespace {

constexpr std::int64_t kReach = std::int64_t{1} << 53;

void CheckEvents(const std::vector<TScenarioEvent>& events) {
  std::int64_t previous = 0;
  for (const TScenarioEvent& e : events) {
    Check(e.Start >= previous && e.Start <= kReach, "events start in order within reach");
    Check(e.ToneSamples >= 0 && e.PauseSamples >= 0 && e.ToneSamples + e.PauseSamples <= kReach,
          "DTMF tones and pauses have lengths within reach");
    previous = e.Start;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8)
    return 0;
  // The first bytes choose where the card renders; the rest is the file.
  std::int64_t position = 0;
  for (std::size_t i = 0; i < 8; ++i)
    position = position << 8 | data[i];
  position &= (std::int64_t{1} << 62) - 1;
  const QString text = QString::fromUtf8(fuzz::Bytes(data + 8, size - 8));
  TScenario scenario;
  QString error;
  // Its folder holds no WAV files, so a wav line is refused; the WAV reader has a target of its
  // own.
  if (!TScenario::Parse(text, fuzz::ScratchPath(QStringLiteral("none")), scenario, error)) {
    Check(error.startsWith(QStringLiteral("line ")), "a refused file names its line");
    return 0;
  }
  bool repeats = false;
  for (const QString& line : text.split(QLatin1Char('\n')))
    repeats = repeats || line.trimmed().startsWith(QStringLiteral("repeat"), Qt::CaseInsensitive);
  Check(!repeats || scenario.RepeatSamples() > 0, "an accepted repeat repeats");
  CheckEvents(scenario.Events(TScenarioLine::Receiver));
  CheckEvents(scenario.Events(TScenarioLine::Pc));
  for (const TScenarioLine line : {TScenarioLine::Receiver, TScenarioLine::Pc}) {
    for (const std::int64_t at : {std::int64_t{0}, position}) {
      std::vector<std::int16_t> whole(64);
      std::vector<std::int16_t> parts(64);
      scenario.Render(line, at, whole);
      scenario.Render(line, at, std::span(parts).first(17));
      scenario.Render(line, at + 17, std::span(parts).subspan(17));
      Check(whole == parts, "the audio does not depend on how the card steps");
    }
  }
  return 0;
}
