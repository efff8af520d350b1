// Finds the format and the audio of a WAV file by its RIFF chunks, so that header bytes and
// metadata chunks are never played as audio.
#pragma once

#include <QString>
#include <cstdint>

#include "core/audio/wave_format.h"

namespace tarvok {

struct TWavLayout {
  TWaveFormat Format;
  std::int64_t DataOffset = 0;
  std::int64_t DataBytes = 0;
  QString Error;  // empty when the file is a playable PCM WAV file

  bool IsValid() const { return Error.isEmpty(); }
};

// Accepts PCM and WAVE_FORMAT_EXTENSIBLE holding PCM. A data size beyond the end of the file
// (a recording cut short) is cut to the bytes that are there.
TWavLayout ReadWavLayout(const QString& fileName);

}  // namespace tarvok
