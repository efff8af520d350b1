#include "core/audio/wav_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <span>

#include "core/audio/pcm_conversion.h"

namespace tarvok {

namespace {

constexpr int kMinFormatBytes = 16;
constexpr int kExtensibleSubFormatOffset = 24;
// KSDATAFORMAT_SUBTYPE_PCM: 00000001-0000-0010-8000-00aa00389b71.
constexpr char kPcmSubFormat[16] = {1,          0, 0, 0,          0, 0,  16,         0,
                                    char(0x80), 0, 0, char(0xaa), 0, 56, char(0x9b), 113};

bool IsPcm(const QByteArray& fmt, const TWaveFormat& format) {
  const bool samples = format.Channels > 0 && format.BitsPerSample % 8 == 0 &&
                       format.BitsPerSample >= 8 && format.BitsPerSample <= 32;
  if (!samples)
    return false;
  if (format.FormatTag == TWaveFormat::kPcm)
    return true;
  return format.FormatTag == TWaveFormat::kExtensible &&
         fmt.size() >= kExtensibleSubFormatOffset + 16 &&
         fmt.mid(kExtensibleSubFormatOffset, 16) == QByteArray(kPcmSubFormat, 16);
}

}  // namespace

TWavLayout ReadWavLayout(const QString& fileName) {
  TWavLayout layout;
  const QString notPcm = QStringLiteral("%1 is not a PCM WAV file").arg(fileName);
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    layout.Error = QStringLiteral("Cannot open %1: %2").arg(fileName, file.errorString());
    return layout;
  }
  const std::int64_t fileSize = file.size();
  const QByteArray riff = file.read(12);
  if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") {
    layout.Error = notPcm;
    return layout;
  }
  bool haveFormat = false;
  std::int64_t position = 12;
  while (position + 8 <= fileSize) {
    file.seek(position);
    const QByteArray chunk = file.read(8);
    const QByteArray id = chunk.left(4);
    const std::int64_t size = qFromLittleEndian<std::uint32_t>(chunk.constData() + 4);
    const std::int64_t body = position + 8;
    if (id == "fmt ") {
      const QByteArray fmt = file.read(std::min<std::int64_t>(size, 64));
      if (fmt.size() < kMinFormatBytes)
        break;
      const TWaveFormat stored = TWaveFormat::FromBytes(fmt);
      if (!IsPcm(fmt, stored))
        break;
      if (stored.SamplesPerSec < kMinWavSampleRate || stored.SamplesPerSec > kMaxWavSampleRate ||
          stored.Channels > kMaxWavChannels) {
        layout.Error = QStringLiteral(
                           "%1 holds %2 channel(s) at %3 samples per second; a sound card plays 1 "
                           "to %4 channels at %5 to %6 samples per second")
                           .arg(fileName)
                           .arg(stored.Channels)
                           .arg(stored.SamplesPerSec)
                           .arg(kMaxWavChannels)
                           .arg(kMinWavSampleRate)
                           .arg(kMaxWavSampleRate);
        return layout;
      }
      layout.Format = TWaveFormat::Pcm(stored.SamplesPerSec, stored.BitsPerSample, stored.Channels);
      haveFormat = true;
    } else if (id == "data") {
      if (!haveFormat)
        break;
      layout.DataOffset = body;
      layout.DataBytes = std::min(size, fileSize - body);
      return layout;
    }
    position = body + size + (size % 2);
  }
  layout.Error = notPcm;
  return layout;
}

TWavSamples ReadWavSamples(const QString& fileName) {
  TWavSamples wav;
  const TWavLayout layout = ReadWavLayout(fileName);
  wav.Format = layout.Format;
  if (!layout.IsValid()) {
    wav.Error = layout.Error;
    return wav;
  }
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly) || !file.seek(layout.DataOffset)) {
    wav.Error = QStringLiteral("Cannot open %1: %2").arg(fileName, file.errorString());
    return wav;
  }
  const QByteArray data = file.read(layout.DataBytes);
  if (data.size() != layout.DataBytes) {
    wav.Error = QStringLiteral("Cannot read %1: %2").arg(fileName, file.errorString());
    return wav;
  }
  DecodeMono(std::as_bytes(std::span(data.constData(), static_cast<std::size_t>(data.size()))),
             layout.Format.Channels, layout.Format.BitsPerSample, wav.Samples);
  return wav;
}

}  // namespace tarvok
