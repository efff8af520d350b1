// Reads the audio of a PCM WAV file (8 to 32 bits, any channel count and rate) as mono 16-bit
// samples at a given rate, for the virtual sound card's scenarios.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace tarvok {

// False, with a reason for the user in `error`, when the file cannot be read or is not PCM WAV.
bool ReadWavSamples(const QString& path, int sampleRate, std::vector<std::int16_t>& samples,
                    QString& error);

}  // namespace tarvok
