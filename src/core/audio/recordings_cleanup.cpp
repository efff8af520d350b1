#include "core/audio/recordings_cleanup.h"

#include <QDir>
#include <QFile>

#include "core/audio/log_file_list.h"
#include "core/common/clock.h"

namespace tarvok {

QStringList CleanRecordings(const QString& folder, const TCleanupLimits& limits,
                            const QStringList& inUse) {
  QStringList deleted;
  if (limits.LimitLogDays == 0 && limits.LimitLogSize == 0)
    return deleted;
  const QDir dir(folder);
  auto remove = [&](const QString& name) {
    if (!IsFileInUse(dir.filePath(name), inUse) && QFile::remove(dir.filePath(name))) {
      deleted << name;
    }
  };

  TLogFileList list;
  for (const QFileInfo& file : RecordingFiles(folder)) {
    const QDateTime created = file.birthTime().isValid() ? file.birthTime() : file.lastModified();
    if (limits.LimitLogDays > 0 && FileTimeFromDateTime(created) < limits.LogCutoffTime) {
      remove(file.fileName());
    } else if (limits.LimitLogSize != 0) {
      list.AddFile(file, false);
    }
  }
  if (list.Count() == 0)
    return deleted;
  list.Sort();
  std::int64_t total = 0;
  for (int i = list.Count() - 1; i >= 0; --i) {
    total += list.Items(i).Size;
    if (total >= limits.LimitLogSize)
      remove(list.Items(i).FileName);
  }
  return deleted;
}

}  // namespace tarvok
