#include "platform/virtual/wav_samples.h"

#include <QFile>
#include <QtEndian>
#include <cmath>

#include "core/audio/wav_reader.h"

namespace tarvok {

namespace {

struct TWavFormat {
  int Channels = 0;
  int Rate = 0;
  int Bits = 0;
};

// Mono samples at the file's own rate: the channels are averaged.
std::vector<std::int16_t> Mixdown(const char* data, qsizetype bytes, const TWavFormat& format) {
  const int sampleBytes = format.Bits / 8;
  const qsizetype frames = bytes / (sampleBytes * format.Channels);
  std::vector<std::int16_t> out(static_cast<std::size_t>(frames));
  for (qsizetype f = 0; f < frames; ++f) {
    int sum = 0;
    for (int c = 0; c < format.Channels; ++c) {
      const char* p = data + (f * format.Channels + c) * sampleBytes;
      sum += sampleBytes == 1 ? (static_cast<std::uint8_t>(*p) - 128) * 256
                              : qFromLittleEndian<std::int16_t>(p);
    }
    out[static_cast<std::size_t>(f)] = static_cast<std::int16_t>(sum / format.Channels);
  }
  return out;
}

// Linear interpolation onto another rate; enough for scenario signals.
std::vector<std::int16_t> Resample(const std::vector<std::int16_t>& in, int from, int to) {
  if (from == to || in.empty())
    return in;
  const auto count = static_cast<std::size_t>(static_cast<double>(in.size()) * to / from);
  std::vector<std::int16_t> out(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double x = static_cast<double>(i) * from / to;
    const auto i0 = static_cast<std::size_t>(x);
    const std::size_t i1 = std::min(i0 + 1, in.size() - 1);
    const double frac = x - static_cast<double>(i0);
    out[i] = static_cast<std::int16_t>(std::lround(in[i0] * (1.0 - frac) + in[i1] * frac));
  }
  return out;
}

}  // namespace

bool ReadWavSamples(const QString& path, int sampleRate, std::vector<std::int16_t>& samples,
                    QString& error) {
  const TWavLayout layout = ReadWavLayout(path);
  if (!layout.IsValid()) {
    error = layout.Error;
    return false;
  }
  const TWavFormat format{layout.Format.Channels, static_cast<int>(layout.Format.SamplesPerSec),
                          layout.Format.BitsPerSample};
  if (format.Bits != 8 && format.Bits != 16) {
    error = QStringLiteral("only 8- and 16-bit PCM is supported");
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || !file.seek(layout.DataOffset)) {
    error = file.errorString();
    return false;
  }
  const QByteArray data = file.read(layout.DataBytes);
  samples = Resample(Mixdown(data.constData(), data.size(), format), format.Rate, sampleRate);
  return true;
}

}  // namespace tarvok
