#include "core/config/remote_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tarvok {

namespace {

constexpr qint64 kPieceSize = 256;

QString TrimControls(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin].unicode() <= ' ')
    ++begin;
  while (end > begin && text[end - 1].unicode() <= ' ')
    --end;
  return text.mid(begin, end - begin);
}

int DigitValue(QChar c, int base) {
  const int digit = c.isDigit()                                  ? c.digitValue()
                    : (c.toLower() >= 'a' && c.toLower() <= 'f') ? c.toLower().unicode() - 'a' + 10
                                                                 : 99;
  return digit < base ? digit : -1;
}

}  // namespace

int RemoteIntValue(const QString& text) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+'))
    negative = text[i++] == '-';
  int base = 10;
  if (text.mid(i, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0) {
    base = 16;
    i += 2;
  } else if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    i += 1;
  }
  std::uint32_t value = 0;  // wraps like the 32-bit value it stands for
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0)
      break;
    value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
  }
  if (negative)
    value = 0u - value;
  return static_cast<int>(value);
}

bool TRemoteData::StatusChanged() {
  if (Written && Status.Equals(LastStatus))
    return false;
  Written = true;
  LastStatus.Assign(Status);
  return true;
}

QString TRemoteData::GetValue(const QString& name) const {
  const qsizetype index = Names.indexOf(name);
  return index >= 0 && index < Values.size() ? Values[index] : QString();
}

TRemoteDataFile::TRemoteDataFile(int versionMajor, int versionMinor)
    : versionMajor_(versionMajor), versionMinor_(versionMinor) {}

TRemoteDataFile::~TRemoteDataFile() {
  if (!StatusFileName.isEmpty() && QFileInfo::exists(StatusFileName)) {
    QFile::remove(StatusFileName);
  }
}

void TRemoteDataFile::SetPath(const QString& folder) {
  QString base = folder;
  if (!base.endsWith(QLatin1Char('/')))
    base += QLatin1Char('/');
  StatusFileName = base + QStringLiteral("tarvok.rmt");
  CommandFileName = base + QStringLiteral("tarvok.cmd");
}

bool TRemoteDataFile::CommandExists() const {
  return !CommandFileName.isEmpty() && QFileInfo::exists(CommandFileName);
}

void TRemoteDataFile::WriteStatus() {
  const QString text = QStringLiteral(
                           "VersionMajor=%1\nVersionMinor=%2\nRepeaterMode=%3\n"
                           "RepeaterState=%4\nModeState=%5\nPinValue=%6\n")
                           .arg(versionMajor_)
                           .arg(versionMinor_)
                           .arg(Status.RepeaterMode)
                           .arg(Status.RepeaterState)
                           .arg(Status.ModeState)
                           .arg(Status.PinValue ? 1 : 0);
  QDir().mkpath(QFileInfo(StatusFileName).path());
  QSaveFile file(StatusFileName);
  if (!file.open(QIODevice::WriteOnly) || file.write(text.toLatin1()) < 0 || !file.commit()) {
    LastError = file.errorString();
  }
}

bool TRemoteDataFile::StatusMissing() const {
  return Written && !StatusFileName.isEmpty() && !QFileInfo::exists(StatusFileName);
}

std::uint8_t TRemoteDataFile::ReadCommand() {
  if (!CommandExists())
    return 0;
  Names.clear();
  if (!ReadLines())
    return 0;
  QFile command(CommandFileName);
  if (!command.remove())
    LastError = command.errorString();
  if (Names.isEmpty())
    return 0;
  SplitLines();
  return static_cast<std::uint8_t>(GetIntValue(QStringLiteral("command")) & 0xFF);
}

bool TRemoteDataFile::ReadLines() {
  QFile file(CommandFileName);
  if (!file.open(QIODevice::ReadOnly)) {
    LastError = file.errorString();
    return false;
  }
  QByteArray pending;
  char piece[kPieceSize];
  qint64 count;
  while ((count = file.read(piece, kPieceSize)) > 0) {
    const qint64 usable = qstrnlen(piece, static_cast<uint>(count));
    for (qint64 i = 0; i < usable; ++i) {
      if (piece[i] != '\n') {
        pending += piece[i];
      } else if (!pending.isEmpty()) {
        Names << QString::fromLatin1(pending);
        pending.clear();
      }
    }
  }
  if (!pending.isEmpty())
    Names << QString::fromLatin1(pending);
  return true;
}

void TRemoteDataFile::SplitLines() {
  Values.clear();
  for (QString& line : Names) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    Values << (eq >= 0 ? TrimControls(line.mid(eq + 1)) : QString());
    line = eq >= 0 ? TrimControls(line.left(eq)) : QString();
  }
}

}  // namespace tarvok
