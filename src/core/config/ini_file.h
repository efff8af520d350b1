// A settings file in INI form that a person can edit with any text editor. Sections and keys are
// found regardless of case; a write changes only its own line and keeps every other line, comments
// included. Each write replaces the file atomically, so a crash leaves the old or the new file.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <mutex>
#include <vector>

namespace tarvok {

class TIniFile {
 public:
  static constexpr int kMaxStringLength = 2047;

  explicit TIniFile(QString fileName);

  const QString& FileName() const { return fileName_; }

  // Readers return the default when the section or key is missing or the value is malformed.
  QString ReadString(const QString& section, const QString& key, const QString& def) const;
  std::int64_t ReadInt64(const QString& section, const QString& key, std::int64_t def) const;
  int ReadInteger(const QString& section, const QString& key, int def) const;
  bool ReadBool(const QString& section, const QString& key, bool def) const;
  bool SectionExists(const QString& section) const;

  // Writers return false when the file cannot be written; the file is then unchanged.
  bool WriteString(const QString& section, const QString& key, const QString& value);
  bool WriteInt64(const QString& section, const QString& key, std::int64_t value);
  bool WriteInteger(const QString& section, const QString& key, int value);
  bool WriteBool(const QString& section, const QString& key, bool value);

 private:
  std::vector<QByteArray> LoadLines() const;
  bool SaveLines(const std::vector<QByteArray>& lines) const;
  bool IsReadOnly() const;

  QString fileName_;
  mutable std::mutex mutex_;
};

// Parses an integer the way settings values are written: decimal, or hexadecimal after "0x".
bool ParseSettingsInteger(const QString& text, std::int64_t& value);

}  // namespace tarvok
