// Finds the format and the audio of a WAV file by its RIFF chunks, so that header bytes and
// metadata chunks are never played as audio.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "core/audio/wave_format.h"

namespace tarvok {

// What a sound card plays. Files outside are refused: a rate of a few hertz would turn a small
// file into hours of audio at the card's rate, and 32-bit rates overflow the rate conversion.
constexpr std::uint32_t kMinWavSampleRate = 1000;
constexpr std::uint32_t kMaxWavSampleRate = 384000;
constexpr std::uint16_t kMaxWavChannels = 32;

struct TWavLayout {
  TWaveFormat Format;
  std::int64_t DataOffset = 0;
  std::int64_t DataBytes = 0;
  QString Error;  // empty when the file is a playable PCM WAV file

  bool IsValid() const { return Error.isEmpty(); }
};

// Accepts PCM and WAVE_FORMAT_EXTENSIBLE holding PCM, at a rate and channel count a sound card
// plays. A data size beyond the end of the file
// (a recording cut short) is cut to the bytes that are there.
TWavLayout ReadWavLayout(const QString& fileName);

struct TWavSamples {
  TWaveFormat Format;                 // as the file stores it
  std::vector<std::int16_t> Samples;  // one per frame, at the file's own rate
  QString Error;                      // empty when the file was read

  bool IsValid() const { return Error.isEmpty(); }
};

// The audio of a PCM WAV file as 16-bit mono samples: each frame's channels averaged (DecodeMono).
TWavSamples ReadWavSamples(const QString& fileName);

}  // namespace tarvok
