// Reading and writing WAV files of 16-bit PCM mono audio at 8000 samples per second, the one
// format the DTMF detector works on.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace tarvok {

// Reads the audio of a WAV file. Any other format, or a file that is not a WAV file, is refused
// with a message for the user in `error`.
bool ReadPcmWav(const QString& path, std::vector<std::int16_t>& samples, QString& error);

// Writes the samples as a recording in the station's own WAV layout.
bool WritePcmWav(const QString& path, const std::vector<std::int16_t>& samples, QString& error);

}  // namespace tarvok
