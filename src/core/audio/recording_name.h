// The name of a recording: the local time it started, "yymmdd_hhnnss.wav", which the recordings
// list reads back as its date and time.
#pragma once

#include <QDateTime>
#include <QString>

namespace tarvok {

// "yymmdd_hhnnss.wav" of the time, without a folder.
QString RecordingFileName(const QDateTime& time);

struct TRecordingName {
  QString DateText;  // "mm/dd/yy", empty when the name is not a recording name
  QString TimeText;  // "hh:nn:ss"
};

// A recording name holds exactly 12 digits before its first ".", six of them before a "_" that is
// its seventh character and six right after it.
TRecordingName ParseRecordingName(const QString& fileName);

}  // namespace tarvok
