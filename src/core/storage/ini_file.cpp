#include "core/storage/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <limits>
#include <optional>

namespace tarvok {

namespace {

struct TKeyLine {
  QByteArray Key;
  QByteArray Value;
};

bool IsComment(const QByteArray& trimmed) {
  return trimmed.startsWith(';') || trimmed.startsWith('#');
}

std::optional<QByteArray> SectionName(const QByteArray& line) {
  const QByteArray trimmed = line.trimmed();
  if (!trimmed.startsWith('['))
    return std::nullopt;
  const qsizetype end = trimmed.indexOf(']');
  if (end < 0)
    return std::nullopt;
  return trimmed.mid(1, end - 1).trimmed();
}

std::optional<TKeyLine> KeyLine(const QByteArray& line) {
  const QByteArray trimmed = line.trimmed();
  if (trimmed.isEmpty() || IsComment(trimmed))
    return std::nullopt;
  const qsizetype eq = trimmed.indexOf('=');
  if (eq < 0)
    return std::nullopt;
  // A carriage return inside a value reads as the space it is written as, so that a value read
  // and written again is the one that was read.
  return TKeyLine{trimmed.left(eq).trimmed(), trimmed.mid(eq + 1).trimmed().replace('\r', ' ')};
}

bool SameName(const QByteArray& a, const QString& b) {
  return QString::fromUtf8(a).compare(b, Qt::CaseInsensitive) == 0;
}

using TSectionRange = TIniFile::TSectionRange;

TSectionRange RangeFrom(const std::vector<QByteArray>& lines, size_t header) {
  size_t end = header + 1;
  while (end < lines.size() && !SectionName(lines[end]))
    ++end;
  return TSectionRange{header, end};
}

std::optional<TSectionRange> FindSection(const std::vector<QByteArray>& lines,
                                         const QString& section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i]);
    if (name && SameName(*name, section))
      return RangeFrom(lines, i);
  }
  return std::nullopt;
}

QHash<QString, size_t> IndexSections(const std::vector<QByteArray>& lines) {
  QHash<QString, size_t> index;
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i]);
    if (!name)
      continue;
    const QString folded = QString::fromUtf8(*name).toCaseFolded();
    if (!index.contains(folded))
      index.insert(folded, i);
  }
  return index;
}

std::optional<size_t> FindKey(const std::vector<QByteArray>& lines, const TSectionRange& range,
                              const QString& key) {
  for (size_t i = range.Header + 1; i < range.End; ++i) {
    const auto kv = KeyLine(lines[i]);
    if (kv && SameName(kv->Key, key))
      return i;
  }
  return std::nullopt;
}

std::optional<QByteArray> FindValue(const std::vector<QByteArray>& lines,
                                    const std::optional<TSectionRange>& range, const QString& key) {
  if (!range)
    return std::nullopt;
  const auto index = FindKey(lines, *range, key);
  if (!index)
    return std::nullopt;
  return KeyLine(lines[*index])->Value;
}

// A value must stay on its own line, or it would turn into keys of its own.
QByteArray SingleLine(const QString& value) {
  QString text = value;
  text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text.toUtf8();
}

}  // namespace

bool ParseSettingsInteger(const QString& text, std::int64_t& value) {
  const QString t = text.trimmed();
  bool ok = false;
  qlonglong parsed = 0;
  if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
    parsed = t.mid(2).toLongLong(&ok, 16);
  } else {
    parsed = t.toLongLong(&ok, 10);
  }
  if (ok)
    value = parsed;
  return ok;
}

TIniFile::TIniFile(QString fileName) : fileName_(std::move(fileName)) {}

std::vector<QByteArray> TIniFile::LoadLines() const {
  std::vector<QByteArray> lines;
  QFile file(fileName_);
  if (!file.open(QIODevice::ReadOnly))
    return lines;
  const QByteArray content = file.readAll();
  if (content.isEmpty())
    return lines;
  for (const QByteArray& line : content.split('\n'))
    lines.push_back(line);
  if (content.endsWith('\n'))
    lines.pop_back();
  // Every carriage return before the line break goes: one left behind would be taken off by the
  // next write's read, so each write would change a line it does not own.
  for (QByteArray& line : lines) {
    while (line.endsWith('\r'))
      line.chop(1);
  }
  return lines;
}

bool TIniFile::IsReadOnly() const {
  const QFileInfo info(fileName_);
  if (!info.exists())
    return false;
  // The permission bits count even for root, who could otherwise replace a read-only file.
  constexpr auto kAnyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
  return !info.isWritable() || (info.permissions() & kAnyWrite) == 0;
}

bool TIniFile::SaveLines(const std::vector<QByteArray>& lines) const {
  if (IsReadOnly())
    return false;
  QByteArray content;
  for (const QByteArray& line : lines)
    content += line + '\n';
  QSaveFile file(fileName_);
  if (!file.open(QIODevice::WriteOnly))
    return false;
  if (file.write(content) != content.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

std::optional<TSectionRange> TIniFile::Section(const std::vector<QByteArray>& lines,
                                               const QString& section) const {
  if (!batchLines_ || &lines != &*batchLines_)
    return FindSection(lines, section);
  if (!sectionIndex_)
    sectionIndex_ = IndexSections(lines);
  const auto header = sectionIndex_->constFind(section.toCaseFolded());
  if (header == sectionIndex_->constEnd())
    return std::nullopt;
  return RangeFrom(lines, *header);
}

void TIniFile::LineInserted(size_t at, const QByteArray& line) {
  if (!sectionIndex_)
    return;
  for (size_t& header : *sectionIndex_) {
    if (header >= at)
      ++header;
  }
  // A section of the name further down no longer comes first.
  if (const auto name = SectionName(line)) {
    const QString folded = QString::fromUtf8(*name).toCaseFolded();
    const auto header = sectionIndex_->find(folded);
    if (header == sectionIndex_->end())
      sectionIndex_->insert(folded, at);
    else
      *header = std::min(*header, at);
  }
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
  std::lock_guard lock(mutex_);
  std::vector<QByteArray> fileLines;
  if (!batchLines_)
    fileLines = LoadLines();
  const std::vector<QByteArray>& lines = batchLines_ ? *batchLines_ : fileLines;
  const auto value = FindValue(lines, Section(lines, section), key);
  if (!value)
    return def;
  return QString::fromUtf8(*value).left(kMaxStringLength);
}

std::int64_t TIniFile::ReadInt64(const QString& section, const QString& key,
                                 std::int64_t def) const {
  std::int64_t value = def;
  return ParseSettingsInteger(ReadString(section, key, QString()), value) ? value : def;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
  const std::int64_t value = ReadInt64(section, key, def);
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
    return def;
  }
  return static_cast<int>(value);
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const {
  return ReadInt64(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(const QString& section) const {
  std::lock_guard lock(mutex_);
  if (batchLines_)
    return Section(*batchLines_, section).has_value();
  return FindSection(LoadLines(), section).has_value();
}

int TIniFile::SectionCount() const {
  std::lock_guard lock(mutex_);
  const auto count = [](const std::vector<QByteArray>& lines) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const QByteArray& line) {
      return SectionName(line).has_value();
    }));
  };
  return batchLines_ ? count(*batchLines_) : count(LoadLines());
}

bool TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  std::lock_guard lock(mutex_);
  std::vector<QByteArray> fileLines;
  if (!batchLines_)
    fileLines = LoadLines();
  std::vector<QByteArray>& lines = batchLines_ ? *batchLines_ : fileLines;
  const QByteArray line = key.toUtf8() + '=' + SingleLine(value);
  // Every line goes through insert, which keeps the batch's index of sections in step.
  const auto insert = [&](size_t at, const QByteArray& text) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), text);
    if (batchLines_)
      LineInserted(at, text);
  };
  const auto range = Section(lines, section);
  if (!range) {
    if (!lines.empty() && !lines.back().trimmed().isEmpty())
      insert(lines.size(), QByteArray());
    insert(lines.size(), '[' + section.toUtf8() + ']');
    insert(lines.size(), line);
  } else if (const auto index = FindKey(lines, *range, key)) {
    // A value written as it stands changes nothing, so the file is left as it is, as a batch does.
    if (lines[*index] == line)
      return true;
    lines[*index] = line;
    if (batchLines_ && SectionName(line))
      sectionIndex_.reset();
  } else {
    // After the section's last non-blank line, so a blank line before the next section stays.
    size_t insertAt = range->End;
    while (insertAt > range->Header + 1 && lines[insertAt - 1].trimmed().isEmpty())
      --insertAt;
    insert(insertAt, line);
  }
  return batchLines_ || SaveLines(lines);
}

bool TIniFile::WriteInt64(const QString& section, const QString& key, std::int64_t value) {
  return WriteString(section, key, QString::number(value));
}

bool TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
  return WriteString(section, key, QString::number(value));
}

bool TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
  return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

namespace {

// Ends a batch however its work ends.
struct TEndBatch {
  std::optional<std::vector<QByteArray>>& lines;
  std::optional<QHash<QString, size_t>>& index;
  ~TEndBatch() {
    lines.reset();
    index.reset();
  }
};

}  // namespace

bool TIniFile::Batch(const std::function<void()>& work) {
  std::lock_guard lock(mutex_);
  if (batchLines_) {
    work();
    return true;
  }
  const std::vector<QByteArray> original = LoadLines();
  batchLines_ = original;
  const TEndBatch endBatch{batchLines_, sectionIndex_};
  work();
  return *batchLines_ == original || SaveLines(*batchLines_);
}

void TIniFile::ReadBatch(const std::function<void()>& work) const {
  std::lock_guard lock(mutex_);
  if (batchLines_) {
    work();
    return;
  }
  batchLines_ = LoadLines();
  const TEndBatch endBatch{batchLines_, sectionIndex_};
  work();
}

}  // namespace tarvok
