// A settings file in INI form that a person can edit with any text editor. Sections and keys are
// found regardless of case; a write changes only its own line and keeps every other line, comments
// included. Each write replaces the file atomically, so a crash leaves the old or the new file;
// Batch groups many reads and writes into one pass over the file and at most one replace.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
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
  int SectionCount() const;

  // Writers return false when the file cannot be written; the file is then unchanged.
  bool WriteString(const QString& section, const QString& key, const QString& value);
  bool WriteInt64(const QString& section, const QString& key, std::int64_t value);
  bool WriteInteger(const QString& section, const QString& key, int value);
  bool WriteBool(const QString& section, const QString& key, bool value);

  // Runs work with every read and write of this object going to one copy of the file in memory,
  // then replaces the file once if the content changed. Other threads wait until it is done.
  // A Batch inside a Batch joins the outer one. Returns false when the file could not be
  // written; it is then unchanged and the writes made by work are lost.
  bool Batch(const std::function<void()>& work);
  // Runs work with every read going to one copy of the file in memory, its sections found by an
  // index: loading many sections reads the file once and never searches it whole per key.
  // Inside a Batch it joins it.
  void ReadBatch(const std::function<void()>& work) const;

  // Where a section's lines are: its header line and one past its last line.
  struct TSectionRange {
    size_t Header = 0;
    size_t End = 0;
  };

 private:
  std::vector<QByteArray> LoadLines() const;
  bool SaveLines(const std::vector<QByteArray>& lines) const;
  bool IsReadOnly() const;
  // The first section of the name in lines, through the index when lines are the batch's.
  std::optional<TSectionRange> Section(const std::vector<QByteArray>& lines,
                                       const QString& section) const;
  // Keeps the index in step with a line inserted into the batch's lines at position at.
  void LineInserted(size_t at, const QByteArray& line);

  QString fileName_;
  mutable std::recursive_mutex mutex_;
  // While a Batch or ReadBatch runs: the file's lines, and the header line of each section by
  // its case-folded name, built at the first look-up.
  mutable std::optional<std::vector<QByteArray>> batchLines_;
  mutable std::optional<QHash<QString, size_t>> sectionIndex_;
};

// Parses an integer the way settings values are written: decimal, or hexadecimal after "0x".
bool ParseSettingsInteger(const QString& text, std::int64_t& value);

}  // namespace tarvok
