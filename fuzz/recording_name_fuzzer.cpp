// Recording names: a name the recorder gives reads back as its date and time, and any other file
// name is either no recording or a date and time of two digits a field taken from the name.
#include <QRegularExpression>

#include "core/audio/recording_name.h"
#include "fuzz_support.h"

using namespace tarvok;
using tarvok::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString name = QString::fromUtf8(fuzz::Bytes(data, size));
  const TRecordingName parsed = ParseRecordingName(name);
  static const QRegularExpression dateForm(QStringLiteral("^[0-9]{2}/[0-9]{2}/[0-9]{2}$"));
  static const QRegularExpression timeForm(QStringLiteral("^[0-9]{2}:[0-9]{2}:[0-9]{2}$"));
  Check(parsed.DateText.isEmpty() == parsed.TimeText.isEmpty(), "date and time come together");
  if (!parsed.DateText.isEmpty()) {
    Check(dateForm.match(parsed.DateText).hasMatch(), "the date is mm/dd/yy");
    Check(timeForm.match(parsed.TimeText).hasMatch(), "the time is hh:nn:ss");
    const QString digits = QString(parsed.DateText.mid(6, 2) + parsed.DateText.left(2) +
                                   parsed.DateText.mid(3, 2) + QLatin1Char('_') + parsed.TimeText)
                               .remove(QLatin1Char(':'));
    Check(name.startsWith(digits), "the date and time are the name's own digits");
  }
  if (size < 8)
    return 0;
  // The first bytes as a moment between 2000 and 2099, where two-digit years are unambiguous.
  std::uint64_t seconds = 0;
  for (int i = 0; i < 8; ++i)
    seconds = seconds << 8 | data[i];
  const QDateTime start(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
  const QDateTime moment = start.addSecs(static_cast<qint64>(seconds % (3155760000ull)));
  const TRecordingName own = ParseRecordingName(RecordingFileName(moment));
  Check(own.DateText == moment.toString(QStringLiteral("MM/dd/yy")) &&
            own.TimeText == moment.toString(QStringLiteral("HH:mm:ss")),
        "a recording's name reads back as the time it started");
  return 0;
}
