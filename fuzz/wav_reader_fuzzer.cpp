// Any file as a WAV file: one the reader accepts has a format a sound card plays, audio that lies
// within the file, one sample per whole frame, a rate conversion to the virtual card's rate of a
// bounded length, and the same format in the recordings list.
#include <QFileInfo>

#include "core/audio/log_file_list.h"
#include "core/audio/pcm_conversion.h"
#include "core/audio/wav_reader.h"
#include "fuzz_support.h"

using namespace tarvok;
using tarvok::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString path = fuzz::WriteScratchFile(QStringLiteral("input.wav"), fuzz::Bytes(data, size));
  const TWavLayout layout = ReadWavLayout(path);
  const TWavSamples wav = ReadWavSamples(path);
  Check(layout.IsValid() == wav.IsValid(), "the layout and the samples agree");
  TLogFileList list;
  list.AddFile(QFileInfo(path), true);
  Check(list.Count() == 0 || list.Items(0).HasFormat == layout.IsValid(),
        "the recordings list reads the format the reader accepts");
  if (!layout.IsValid()) {
    Check(!layout.Error.isEmpty(), "a refused file has a message");
    return 0;
  }
  const TWaveFormat& format = layout.Format;
  Check(format.SamplesPerSec >= kMinWavSampleRate && format.SamplesPerSec <= kMaxWavSampleRate,
        "the rate is one a sound card plays");
  Check(format.Channels >= 1 && format.Channels <= kMaxWavChannels, "the channels can be played");
  Check(format.BitsPerSample % 8 == 0 && format.BitsPerSample >= 8 && format.BitsPerSample <= 32,
        "whole bytes of 1 to 4 per sample");
  const int frameBytes = format.Channels * format.BitsPerSample / 8;
  Check(format.BlockAlign == frameBytes, "the block alignment is one frame");
  Check(format.AvgBytesPerSec == format.SamplesPerSec * static_cast<std::uint32_t>(frameBytes),
        "the byte rate is the frames per second");
  Check(layout.DataOffset >= 12 && layout.DataBytes >= 0 &&
            layout.DataOffset + layout.DataBytes <= static_cast<std::int64_t>(size),
        "the audio lies within the file");
  Check(static_cast<std::int64_t>(wav.Samples.size()) == layout.DataBytes / frameBytes,
        "one sample per whole frame");
  std::vector<std::int16_t> resampled;
  TResampler(static_cast<int>(format.SamplesPerSec), 8000).Process(wav.Samples, resampled);
  Check(static_cast<double>(resampled.size()) <=
            static_cast<double>(wav.Samples.size()) * 8000.0 / format.SamplesPerSec + 1.0,
        "the rate conversion gives the audio's length at the card's rate");
  return 0;
}
