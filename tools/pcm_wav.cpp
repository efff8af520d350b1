#include "pcm_wav.h"

#include "core/audio/wav_reader.h"
#include "core/audio/wav_recording_file.h"

namespace tarvok {

namespace {

constexpr std::uint32_t kSampleRate = 8000;
constexpr std::uint16_t kBits = 16;

}  // namespace

bool ReadPcmWav(const QString& path, std::vector<std::int16_t>& samples, QString& error) {
  TWavSamples wav = ReadWavSamples(path);
  if (!wav.IsValid()) {
    error = wav.Error;
    return false;
  }
  const TWaveFormat& format = wav.Format;
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
  samples = std::move(wav.Samples);
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
