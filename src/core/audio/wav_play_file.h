// A WAV file opened for playing: its audio from the first sample on, read in whole frames, so
// that neither header bytes nor metadata chunks are ever played.
//
// Threads: Open and Close on one thread while no Read runs; Read on the player's audio thread.
#pragma once

#include <QFile>
#include <QString>
#include <cstdint>

#include "core/audio/wave_format.h"

namespace tarvok {

class TWavPlayFile {
 public:
  // "" when the file is open at its first audio byte, else why it cannot be played.
  QString Open(const QString& fileName);
  void Close();
  bool IsOpen() const { return file_.isOpen(); }
  const TWaveFormat& Format() const { return format_; }
  // Reads up to `size` bytes of whole frames; 0 at the end of the audio or when not open.
  int Read(std::uint8_t* buffer, int size);

 private:
  QFile file_;
  TWaveFormat format_;
  std::int64_t remaining_ = 0;
};

}  // namespace tarvok
