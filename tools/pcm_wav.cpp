#include "pcm_wav.h"

#include <QFile>

#include "core/audio/wav_reader.h"
#include "core/audio/wav_recording_file.h"

namespace tarvok {

namespace {

constexpr std::uint32_t kSampleRate = 8000;
constexpr std::uint16_t kBits = 16;

}  // namespace

bool ReadPcmWav(const QString& path, std::vector<std::int16_t>& samples, QString& error) {
  const TWavLayout layout = ReadWavLayout(path);
  if (!layout.IsValid()) {
    error = layout.Error;
    return false;
  }
  const TWaveFormat& format = layout.Format;
  if (format.Channels != 1 || format.SamplesPerSec != kSampleRate ||
      format.BitsPerSample != kBits) {
    error = QStringLiteral(
                "%1 holds %2 channel(s), %3 samples per second, %4 bits; only 16-bit PCM mono at "
                "8000 samples per second is decoded (convert it with: sox %1 -r 8000 -c 1 -b 16 "
                "-e signed-integer OUT.wav)")
                .arg(path)
                .arg(format.Channels)
                .arg(format.SamplesPerSec)
                .arg(format.BitsPerSample);
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || !file.seek(layout.DataOffset)) {
    error = QStringLiteral("Cannot open %1: %2").arg(path, file.errorString());
    return false;
  }
  samples.resize(static_cast<std::size_t>(layout.DataBytes / 2));
  const auto bytes = static_cast<qint64>(samples.size() * 2);
  if (file.read(reinterpret_cast<char*>(samples.data()), bytes) != bytes) {
    error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
    return false;
  }
  return true;
}

bool WritePcmWav(const QString& path, const std::vector<std::int16_t>& samples, QString& error) {
  TWavRecordingFile file;
  error = file.Create(path, TWaveFormat::Pcm(kSampleRate, kBits, 1));
  if (!error.isEmpty())
    return false;
  if (!file.Append(reinterpret_cast<const std::uint8_t*>(samples.data()),
                   static_cast<std::int64_t>(samples.size() * 2))) {
    error = QStringLiteral("Cannot write %1").arg(path);
    return false;
  }
  file.Close();
  return true;
}

}  // namespace tarvok
