// The samples of a 16-bit mono WAV file as they are stored, for tests that check what was recorded
// or sent.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <cstdint>
#include <vector>

#include "core/audio/wav_reader.h"

namespace tarvok {

inline std::vector<std::int16_t> RecordedSamples(const QString& path) {
  TWavSamples wav = ReadWavSamples(path);
  EXPECT_TRUE(wav.IsValid()) << wav.Error.toStdString();
  return std::move(wav.Samples);
}

}  // namespace tarvok
