#include "core/audio/recordings_log.h"

#include <QDir>
#include <QFile>

#include "core/config/config.h"
#include "core/config/station_folder.h"

namespace tarvok {

TRecordingsLog::TRecordingsLog(TConfig& config, TInUse inUse)
    : config_(config), inUse_(std::move(inUse)) {}

const QString& TRecordingsLog::Folder() const { return config_.LogBrowsePath(); }

QString TRecordingsLog::SetFolder(const QString& text) {
  if (text.isEmpty()) {
    config_.SetLogBrowsePath(config_.DefaultLogPath());
  } else if (QFileInfo(text).isDir()) {
    config_.SetLogBrowsePath(WithTrailingSlash(text));
  } else {
    return QStringLiteral("The %1 folder is not found").arg(text);
  }
  Relist();
  return {};
}

void TRecordingsLog::Relist() {
  files_.Clear();
  for (const QFileInfo& file : RecordingFiles(Folder()))
    files_.AddFile(file, true);
  files_.Sort();
}

QString TRecordingsLog::FilePath(int index) const {
  if (index < 0 || index >= files_.Count())
    return {};
  const QString path = QDir(Folder()).filePath(files_.Items(index).FileName);
  return QFileInfo::exists(path) ? path : QString();
}

QString TRecordingsLog::DeleteQuestion(int index) const {
  const TLogFile& file = files_.Items(index);
  return QStringLiteral("Are you sure you want to delete\n%1 %2, %3, %4, %5\nfile ?")
      .arg(file.DateText, file.TimeText, file.SizeText, file.LengthText, file.PropertiesText);
}

QString TRecordingsLog::Delete(int index) {
  const QString path = FilePath(index);
  if (path.isEmpty())
    return {};
  if (IsFileInUse(path, inUse_()))
    return QStringLiteral("Cannot delete %1 file: it is being recorded or played!").arg(path);
  if (!QFile::remove(path))
    return QStringLiteral("Cannot delete %1 file!").arg(path);
  return {};
}

}  // namespace tarvok
