// The recordings in a folder: date and time from the recording name, size, playing time and
// format, sorted oldest first.
#pragma once

#include <QDateTime>
#include <QFileInfo>
#include <QString>
#include <cstdint>
#include <vector>

#include "core/audio/recording_name.h"
#include "core/audio/wave_format.h"

namespace tarvok {

// The "*.wav" files of a folder, hidden ones included.
QFileInfoList RecordingFiles(const QString& folder);

// Whether path names one of the files in inUse, however their folders are spelt.
bool IsFileInUse(const QString& path, const QStringList& inUse);

struct TLogFile {
  QString FileName;  // without the folder
  QString DateText;
  QString TimeText;
  QString SizeText;
  QString LengthText;      // empty when the format was not read
  QString PropertiesText;  // likewise
  std::int64_t Size = 0;
  std::int64_t Seconds = 0;
  QDateTime FileTime;  // last write, the sort key
  TWaveFormat Format;
  bool HasFormat = false;
};

class TLogFileList {
 public:
  // Files of 58 bytes or less hold no audio and are not listed.
  void AddFile(const QFileInfo& file, bool readProperties);
  void Sort();
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  const TLogFile& Items(int index) const { return items_[static_cast<std::size_t>(index)]; }

 private:
  std::vector<TLogFile> items_;
};

}  // namespace tarvok
