#include "platform/virtual/wav_samples.h"

#include <QFile>
#include <QtEndian>
#include <cmath>

namespace tarvok {

namespace {

struct TWavFormat {
  int Channels = 0;
  int Rate = 0;
  int Bits = 0;
};

std::uint32_t U32(const QByteArray& b, qsizetype at) {
  return qFromLittleEndian<std::uint32_t>(b.constData() + at);
}
std::uint16_t U16(const QByteArray& b, qsizetype at) {
  return qFromLittleEndian<std::uint16_t>(b.constData() + at);
}

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
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = file.errorString();
    return false;
  }
  const QByteArray b = file.readAll();
  if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") {
    error = QStringLiteral("not a WAV file");
    return false;
  }
  TWavFormat format;
  qsizetype at = 12;
  while (at + 8 <= b.size()) {
    const QByteArray id = b.mid(at, 4);
    const qsizetype size = U32(b, at + 4);
    const qsizetype body = at + 8;
    if (id == "fmt " && size >= 16 && body + 16 <= b.size()) {
      if (U16(b, body) != 1) {
        error = QStringLiteral("not PCM audio");
        return false;
      }
      format = {U16(b, body + 2), static_cast<int>(U32(b, body + 4)), U16(b, body + 14)};
    } else if (id == "data") {
      if (format.Channels < 1 || format.Rate < 1 || (format.Bits != 8 && format.Bits != 16)) {
        error = QStringLiteral("only 8- and 16-bit PCM is supported");
        return false;
      }
      // A data chunk longer than the file (a recording cut short) is read as far as it goes.
      const qsizetype bytes = std::min(size, b.size() - body);
      samples = Resample(Mixdown(b.constData() + body, bytes, format), format.Rate, sampleRate);
      return true;
    }
    at = body + size + (size & 1);
  }
  error = QStringLiteral("no audio data");
  return false;
}

}  // namespace tarvok
