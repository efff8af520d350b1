// The one folder that holds a station's settings file, debug log, recordings and remote files.
#pragma once

#include <QString>

namespace tarvok {

class TStationFolder {
 public:
  // The path is taken as a folder; a trailing "/" is added when missing.
  explicit TStationFolder(const QString& path);

  const QString& Path() const { return path_; }
  QString SettingsFile() const { return path_ + QStringLiteral("tarvok.ini"); }
  QString DebugLogFile() const { return path_ + QStringLiteral("debug.log"); }
  QString DefaultLogPath() const { return path_ + QStringLiteral("temp/"); }
  QString DefaultRemotePath() const { return path_ + QStringLiteral("remote/"); }

 private:
  QString path_;
};

// Folder texts the program builds end in "/".
QString WithTrailingSlash(const QString& folder);

}  // namespace tarvok
