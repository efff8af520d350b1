#include "core/audio/recording_name.h"

#include <algorithm>

namespace tarvok {

namespace {

bool IsAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

bool AllDigits(const QString& text) { return std::all_of(text.begin(), text.end(), IsAsciiDigit); }

}  // namespace

QString RecordingFileName(const QDateTime& time) {
  return time.toString(QStringLiteral("yyMMdd_HHmmss")) + QStringLiteral(".wav");
}

TRecordingName ParseRecordingName(const QString& fileName) {
  const QString stem = fileName.section(QLatin1Char('.'), 0, 0);
  const QString date = stem.left(6);
  const QString time = stem.mid(7, 6);
  if (std::count_if(stem.begin(), stem.end(), IsAsciiDigit) != 12 ||
      stem.indexOf(QLatin1Char('_')) != 6 || time.size() != 6 || !AllDigits(date) ||
      !AllDigits(time)) {
    return {};
  }
  const auto pair = [](const QString& digits, int at) { return digits.mid(at, 2); };
  return {pair(date, 2) + QLatin1Char('/') + pair(date, 4) + QLatin1Char('/') + pair(date, 0),
          pair(time, 0) + QLatin1Char(':') + pair(time, 2) + QLatin1Char(':') + pair(time, 4)};
}

}  // namespace tarvok
