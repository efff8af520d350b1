#include "pcm_wav.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <optional>

namespace tarvok {

namespace {

constexpr int kSampleRate = 8000;
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

struct TChunk {
  qsizetype Offset = 0;  // of the chunk's data
  qsizetype Size = 0;    // limited to the bytes the file holds
};

std::uint16_t U16(const QByteArray& bytes, qsizetype at) {
  return qFromLittleEndian<std::uint16_t>(bytes.constData() + at);
}

std::uint32_t U32(const QByteArray& bytes, qsizetype at) {
  return qFromLittleEndian<std::uint32_t>(bytes.constData() + at);
}

// The first chunk with the id; a size beyond the end of the file (written by a program that
// streamed the file and never came back to fill it in) is cut to what is there.
std::optional<TChunk> FindChunk(const QByteArray& bytes, const char* id) {
  qsizetype at = 12;
  while (at + 8 <= bytes.size()) {
    const qsizetype offset = at + 8;
    const qsizetype size = std::min<qsizetype>(U32(bytes, at + 4), bytes.size() - offset);
    if (bytes.mid(at, 4) == id)
      return TChunk{offset, size};
    at = offset + size + (size & 1);
  }
  return std::nullopt;
}

void PutU16(QByteArray& bytes, std::uint16_t value) {
  char raw[2];
  qToLittleEndian(value, raw);
  bytes.append(raw, 2);
}

void PutU32(QByteArray& bytes, std::uint32_t value) {
  char raw[4];
  qToLittleEndian(value, raw);
  bytes.append(raw, 4);
}

}  // namespace

bool ReadPcmWav(const QString& path, std::vector<std::int16_t>& samples, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("Cannot open %1: %2").arg(path, file.errorString());
    return false;
  }
  const QByteArray bytes = file.readAll();
  if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
    error = QStringLiteral("%1 is not a WAV file").arg(path);
    return false;
  }
  const std::optional<TChunk> format = FindChunk(bytes, "fmt ");
  if (!format || format->Size < 16) {
    error = QStringLiteral("%1 has no valid format chunk").arg(path);
    return false;
  }
  std::uint16_t tag = U16(bytes, format->Offset);
  if (tag == kFormatExtensible && format->Size >= 26)
    tag = U16(bytes, format->Offset + 24);  // the first two bytes of the sub-format GUID
  const std::uint16_t channels = U16(bytes, format->Offset + 2);
  const std::uint32_t rate = U32(bytes, format->Offset + 4);
  const std::uint16_t bits = U16(bytes, format->Offset + 14);
  if (tag != kFormatPcm || channels != 1 || rate != kSampleRate || bits != 16) {
    error = QStringLiteral(
                "%1 holds %2 audio, %3 channel(s), %4 samples per second, %5 bits; only 16-bit "
                "PCM mono at 8000 samples per second is decoded (convert it with: sox %1 -r "
                "8000 -c 1 -b 16 -e signed-integer OUT.wav)")
                .arg(path, tag == kFormatPcm ? QStringLiteral("PCM")
                                             : QStringLiteral("format %1 (not PCM)").arg(tag))
                .arg(channels)
                .arg(rate)
                .arg(bits);
    return false;
  }
  const std::optional<TChunk> data = FindChunk(bytes, "data");
  if (!data) {
    error = QStringLiteral("%1 has no audio data").arg(path);
    return false;
  }
  samples.resize(static_cast<std::size_t>(data->Size / 2));
  for (std::size_t n = 0; n < samples.size(); ++n)
    samples[n] = qFromLittleEndian<std::int16_t>(bytes.constData() + data->Offset + 2 * n);
  return true;
}

bool WritePcmWav(const QString& path, const std::vector<std::int16_t>& samples, QString& error) {
  const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
  QByteArray bytes;
  bytes.reserve(44 + static_cast<qsizetype>(dataSize));
  bytes.append("RIFF");
  PutU32(bytes, 36 + dataSize);
  bytes.append("WAVEfmt ");
  PutU32(bytes, 16);
  PutU16(bytes, kFormatPcm);
  PutU16(bytes, 1);
  PutU32(bytes, kSampleRate);
  PutU32(bytes, kSampleRate * 2);
  PutU16(bytes, 2);
  PutU16(bytes, 16);
  bytes.append("data");
  PutU32(bytes, dataSize);
  for (std::int16_t sample : samples)
    PutU16(bytes, static_cast<std::uint16_t>(sample));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
    return false;
  }
  return true;
}

}  // namespace tarvok
