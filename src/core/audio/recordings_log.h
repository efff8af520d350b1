// The recordings log: the recordings of the browse folder (LogBrowsePath) listed oldest first,
// the folder's choice, and the deletion of one recording. A recording that the station is writing
// or playing is never deleted.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "core/audio/log_file_list.h"

namespace tarvok {

class TConfig;

class TRecordingsLog {
 public:
  // Tells the recordings in use, full paths.
  using TInUse = std::function<QStringList()>;

  TRecordingsLog(TConfig& config, TInUse inUse);

  const QString& Folder() const;
  // The folder field: an empty text takes the default recordings folder, an existing folder is
  // taken; "" then, else the message for the user and nothing changes. Relists when taken.
  QString SetFolder(const QString& text);
  void Relist();

  const TLogFileList& Files() const { return files_; }
  // The full path of the entry, "" outside the list or when the file is gone.
  QString FilePath(int index) const;
  // "Are you sure ..." with the entry's texts.
  QString DeleteQuestion(int index) const;
  // Deletes the entry's file; "" when done or when there was nothing to delete, else the
  // message for the user. The list stays as it is until Relist.
  QString Delete(int index);

 private:
  TConfig& config_;
  TInUse inUse_;
  TLogFileList files_;
};

}  // namespace tarvok
