#include "core/audio/wave_format.h"

#include <QtEndian>

namespace tarvok {

TWaveFormat TWaveFormat::Pcm(std::uint32_t samplesPerSec, std::uint16_t bitsPerSample,
                             std::uint16_t channels) {
  TWaveFormat format;
  format.Channels = channels;
  format.SamplesPerSec = samplesPerSec;
  format.BitsPerSample = bitsPerSample;
  format.BlockAlign = static_cast<std::uint16_t>(channels * ((bitsPerSample + 7) / 8));
  format.AvgBytesPerSec = samplesPerSec * format.BlockAlign;
  return format;
}

QByteArray TWaveFormat::ToBytes() const {
  QByteArray bytes(kStoredSize, '\0');
  auto* p = reinterpret_cast<uchar*>(bytes.data());
  qToLittleEndian(FormatTag, p);
  qToLittleEndian(Channels, p + 2);
  qToLittleEndian(SamplesPerSec, p + 4);
  qToLittleEndian(AvgBytesPerSec, p + 8);
  qToLittleEndian(BlockAlign, p + 12);
  qToLittleEndian(BitsPerSample, p + 14);
  qToLittleEndian(CbSize, p + 16);
  return bytes;
}

TWaveFormat TWaveFormat::FromBytes(const QByteArray& bytes) {
  QByteArray padded = bytes.left(kStoredSize);
  padded.resize(kStoredSize, '\0');
  const auto* p = reinterpret_cast<const uchar*>(padded.constData());
  TWaveFormat format;
  format.FormatTag = qFromLittleEndian<std::uint16_t>(p);
  format.Channels = qFromLittleEndian<std::uint16_t>(p + 2);
  format.SamplesPerSec = qFromLittleEndian<std::uint32_t>(p + 4);
  format.AvgBytesPerSec = qFromLittleEndian<std::uint32_t>(p + 8);
  format.BlockAlign = qFromLittleEndian<std::uint16_t>(p + 12);
  format.BitsPerSample = qFromLittleEndian<std::uint16_t>(p + 14);
  format.CbSize = bytes.size() >= kStoredSize ? qFromLittleEndian<std::uint16_t>(p + 16) : 0;
  return format;
}

}  // namespace tarvok
