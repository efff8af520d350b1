#include "platform/virtual/wav_samples.h"

#include <QFile>

#include "core/audio/wav_reader.h"
#include "platform/virtual/pcm_conversion.h"

namespace tarvok {

bool ReadWavSamples(const QString& path, int sampleRate, std::vector<std::int16_t>& samples,
                    QString& error) {
  const TWavLayout layout = ReadWavLayout(path);
  if (!layout.IsValid()) {
    error = layout.Error;
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || !file.seek(layout.DataOffset)) {
    error = file.errorString();
    return false;
  }
  const QByteArray data = file.read(layout.DataBytes);
  std::vector<std::int16_t> mono;
  DecodeMono(std::as_bytes(std::span(data.constData(), static_cast<std::size_t>(data.size()))),
             layout.Format.Channels, layout.Format.BitsPerSample, mono);
  samples.clear();
  TResampler(static_cast<int>(layout.Format.SamplesPerSec), sampleRate).Process(mono, samples);
  return true;
}

}  // namespace tarvok
