#include "core/audio/recording_formats.h"

#include "core/common/rounding.h"

namespace tarvok {

namespace {

// Thousands separated by ",", whatever the locale.
QString GroupedNumber(std::uint32_t value) {
  QString digits = QString::number(value);
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
    digits.insert(at, QLatin1Char(','));
  return digits;
}

}  // namespace

std::vector<TWaveFormat> OfferedRecordingFormats(bool dtmfSimplex) {
  std::vector<TWaveFormat> formats;
  for (const std::uint32_t rate : {8000u, 11025u, 22050u, 44100u}) {
    for (const std::uint16_t bits : {std::uint16_t{8}, std::uint16_t{16}}) {
      for (const std::uint16_t channels : {std::uint16_t{1}, std::uint16_t{2}}) {
        if (!dtmfSimplex || (bits == 16 && channels == 1))
          formats.push_back(TWaveFormat::Pcm(rate, bits, channels));
      }
    }
  }
  return formats;
}

QString RecordingFormatText(const TWaveFormat& format) {
  const double bytesPerSec =
      static_cast<double>(format.SamplesPerSec) * format.BitsPerSample * format.Channels / 8;
  const auto kilobytes = static_cast<long long>(RoundHalfEven(bytesPerSec / 1024));
  return GroupedNumber(format.SamplesPerSec) + QStringLiteral(" Hz, ") +
         QString::number(format.BitsPerSample) + QStringLiteral(" Bit, ") +
         (format.Channels == 1 ? QStringLiteral("Mono  ") : QStringLiteral("Stereo")) +
         QString(9, QLatin1Char(' ')) + QString::number(kilobytes) + QStringLiteral("KB/s");
}

int StoredFormatIndex(const std::vector<TWaveFormat>& offered, int formatTag, int channels,
                      int samplesPerSec, int bitsPerSample) {
  for (std::size_t i = 0; i < offered.size(); ++i) {
    const TWaveFormat& f = offered[i];
    if (f.FormatTag == formatTag && f.Channels == channels &&
        static_cast<int>(f.SamplesPerSec) == samplesPerSec && f.BitsPerSample == bitsPerSample)
      return static_cast<int>(i);
  }
  return 0;
}

}  // namespace tarvok
