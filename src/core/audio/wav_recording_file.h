// Writes a recording in the station's WAV layout: "RIFF"/"WAVE", an 18-byte "fmt " chunk, a
// "fact" chunk and the "data" chunk, audio from byte 58, a pad byte after odd audio. The RIFF
// and data sizes are kept current after every block, so a recording cut short by a crash or a
// power cut is still a valid WAV file of the audio written so far.
#pragma once

#include <QFile>
#include <QString>
#include <cstdint>

#include "core/audio/wave_format.h"

namespace tarvok {

class TWavRecordingFile {
 public:
  static constexpr int kHeaderBytes = 58;

  ~TWavRecordingFile() { Close(); }

  // Creates the file and writes its header; returns an empty string or the error message.
  QString Create(const QString& fileName, const TWaveFormat& format);
  // Appends audio and updates the sizes in the header; false when the disk refused it.
  bool Append(const std::uint8_t* data, std::int64_t bytes);
  // Adds the pad byte when needed and writes the final sizes.
  void Close();

  bool IsOpen() const { return file_.isOpen(); }
  std::int64_t BytesWritten() const { return bytesWritten_; }
  QString FileName() const { return file_.fileName(); }

 private:
  bool WriteSizes(std::int64_t riffSize);

  QFile file_;
  std::int64_t bytesWritten_ = 0;
};

}  // namespace tarvok
