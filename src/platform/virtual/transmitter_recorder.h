// What the virtual card sends to the transmitter, kept where a person can look at it: the card's
// output ("Speakers", after its volume) as a WAV file, 16-bit mono at the card's rate, for as long
// as the station plays or keys the transmitter, and each change of the keying as a line of a text
// file beside it. The WAV file holds those stretches one after the other; each line of the keying
// log says when the change came, in seconds of the card's time, and where it fell in the WAV file.
#pragma once

#include <QFile>
#include <QString>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "core/audio/wav_recording_file.h"

namespace tarvok {

class TTransmitterRecorder {
 public:
  // Starts "transmitter.wav" and "transmitter.log" anew in `folder`.
  TTransmitterRecorder(const QString& folder, int sampleRate);
  ~TTransmitterRecorder();
  TTransmitterRecorder(const TTransmitterRecorder&) = delete;
  TTransmitterRecorder& operator=(const TTransmitterRecorder&) = delete;

  // Empty, or why the files cannot be written.
  const QString& Error() const { return error_; }
  QString WavPath() const { return wav_.FileName(); }
  QString LogPath() const { return log_.fileName(); }

  // The card's output from sample `position` on; kept while `playing` or keyed. Rendering thread.
  void Write(std::span<const std::int16_t> samples, std::int64_t position, bool playing);
  // Any thread.
  void SetKeyed(bool keyed);

 private:
  // Appends the samples taken out of pending_ to the WAV file. Rendering thread.
  void WriteOut();

  const int sampleRate_;
  QString error_;
  std::mutex mutex_;
  TWavRecordingFile wav_;
  QFile log_;
  std::vector<std::int16_t> pending_;  // written to the disk once a second and at a stretch's end
  std::vector<std::int16_t> writing_;  // on its way to the disk; rendering thread only
  std::int64_t kept_ = 0;              // samples in the WAV file, the pending ones included
  std::int64_t position_ = 0;          // the card's time at the end of the last Write
  bool keyed_ = false;
};

}  // namespace tarvok
