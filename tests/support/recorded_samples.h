// The samples of a 16-bit mono WAV file as they are stored, for tests that check what was recorded
// or sent.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <cstdint>
#include <vector>

#include "core/audio/wav_reader.h"
#include "platform/virtual/wav_samples.h"

namespace tarvok {

inline std::vector<std::int16_t> RecordedSamples(const QString& path) {
  const TWavLayout layout = ReadWavLayout(path);
  std::vector<std::int16_t> samples;
  QString error;
  // At the file's own rate nothing is resampled.
  EXPECT_TRUE(ReadWavSamples(path, static_cast<int>(layout.Format.SamplesPerSec), samples, error))
      << error.toStdString();
  return samples;
}

}  // namespace tarvok
