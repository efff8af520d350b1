#include "core/audio/wav_recording_file.h"

#include <unistd.h>
#include <QtEndian>

namespace tarvok {

namespace {

constexpr qint64 kRiffSizeOffset = 4;
constexpr qint64 kDataSizeOffset = 54;
constexpr std::int64_t kRiffSizeOfEmpty = TWavRecordingFile::kHeaderBytes - 8;

QByteArray Le32(std::uint32_t value) {
  QByteArray bytes(4, '\0');
  qToLittleEndian(value, bytes.data());
  return bytes;
}

QByteArray Header(const TWaveFormat& format) {
  QByteArray header;
  header += "RIFF" + Le32(static_cast<std::uint32_t>(kRiffSizeOfEmpty)) + "WAVE";
  header += "fmt " + Le32(TWaveFormat::kStoredSize) + format.ToBytes();
  header += "fact" + Le32(4) + Le32(0);
  header += "data" + Le32(0);
  return header;
}

}  // namespace

QString TWavRecordingFile::Create(const QString& fileName, const TWaveFormat& format) {
  Close();
  bytesWritten_ = 0;
  file_.setFileName(fileName);
  // Unbuffered, so that a write cut short by a full disk says how much reached the file and the
  // header never claims more.
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
    return QStringLiteral("Cannot create %1: %2").arg(fileName, file_.errorString());
  }
  const QByteArray header = Header(format);
  if (file_.write(header) != header.size() || !file_.flush()) {
    file_.close();
    return QStringLiteral("Cannot create WAVE chunk: MMIOERR_CANNOTWRITE");
  }
  return {};
}

bool TWavRecordingFile::Append(const std::uint8_t* data, std::int64_t bytes) {
  if (!file_.isOpen() || bytes <= 0)
    return file_.isOpen();
  if (!file_.seek(kHeaderBytes + bytesWritten_))
    return false;
  const qint64 written = file_.write(reinterpret_cast<const char*>(data), bytes);
  if (written > 0)
    bytesWritten_ += written;
  // The audio reaches the disk before the header claims it.
  file_.flush();
  ::fdatasync(file_.handle());
  WriteSizes(kRiffSizeOfEmpty + bytesWritten_);
  return written == bytes;
}

void TWavRecordingFile::Close() {
  if (!file_.isOpen())
    return;
  std::int64_t riffSize = kRiffSizeOfEmpty + bytesWritten_;
  if (bytesWritten_ % 2 != 0 && file_.seek(kHeaderBytes + bytesWritten_) &&
      file_.write("\0", 1) == 1) {
    ++riffSize;
  }
  WriteSizes(riffSize);
  file_.close();
}

bool TWavRecordingFile::WriteSizes(std::int64_t riffSize) {
  const bool ok = file_.seek(kRiffSizeOffset) &&
                  file_.write(Le32(static_cast<std::uint32_t>(riffSize))) == 4 &&
                  file_.seek(kDataSizeOffset) &&
                  file_.write(Le32(static_cast<std::uint32_t>(bytesWritten_))) == 4;
  file_.flush();
  return ok;
}

}  // namespace tarvok
