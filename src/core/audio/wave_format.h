// The PCM format of a recording or playback, as stored in a WAV file's "fmt " chunk.
#pragma once

#include <QByteArray>
#include <cstdint>

namespace tarvok {

struct TWaveFormat {
  static constexpr std::uint16_t kPcm = 1;
  static constexpr std::uint16_t kExtensible = 0xFFFE;
  static constexpr int kStoredSize = 18;

  std::uint16_t FormatTag = kPcm;
  std::uint16_t Channels = 1;
  std::uint32_t SamplesPerSec = 8000;
  std::uint32_t AvgBytesPerSec = 8000;
  std::uint16_t BlockAlign = 1;
  std::uint16_t BitsPerSample = 8;
  std::uint16_t CbSize = 0;

  // A PCM format with the block alignment and byte rate derived from the other fields.
  static TWaveFormat Pcm(std::uint32_t samplesPerSec, std::uint16_t bitsPerSample,
                         std::uint16_t channels);

  // The 18 bytes of a WAVEFORMATEX record, little-endian.
  QByteArray ToBytes() const;
  // Reads the first 16 or 18 bytes of a format record; CbSize stays 0 for a 16-byte record.
  static TWaveFormat FromBytes(const QByteArray& bytes);

  friend bool operator==(const TWaveFormat&, const TWaveFormat&) = default;
};

}  // namespace tarvok
