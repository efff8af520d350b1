#include "core/audio/wav_play_file.h"

#include <algorithm>

#include "core/audio/wav_reader.h"

namespace tarvok {

QString TWavPlayFile::Open(const QString& fileName) {
  Close();
  const TWavLayout layout = ReadWavLayout(fileName);
  if (!layout.IsValid())
    return layout.Error;
  file_.setFileName(fileName);
  if (!file_.open(QIODevice::ReadOnly) || !file_.seek(layout.DataOffset)) {
    const QString error = QStringLiteral("Cannot open %1: %2").arg(fileName, file_.errorString());
    file_.close();
    return error;
  }
  format_ = layout.Format;
  remaining_ = layout.DataBytes;
  return {};
}

void TWavPlayFile::Close() {
  file_.close();
  remaining_ = 0;
}

int TWavPlayFile::Read(std::uint8_t* buffer, int size) {
  if (!file_.isOpen())
    return 0;
  const int align = std::max<int>(format_.BlockAlign, 1);
  const std::int64_t wanted = std::min<std::int64_t>(size, remaining_) / align * align;
  const qint64 count =
      std::max<qint64>(file_.read(reinterpret_cast<char*>(buffer), wanted), 0) / align * align;
  remaining_ -= count;
  return static_cast<int>(count);
}

}  // namespace tarvok
