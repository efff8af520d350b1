// Plays a WAV file on the default output for a preview (an audio event's file, a recording, a
// beacon's file) while the station runs. The station's own playback comes first: a preview is
// refused while the station plays, and cut off the moment the station starts to play, so that the
// station's playback never fails because of a preview.
//
// Threads: operations and Finished on the main thread; the file is read on the back end's thread.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

#include "core/audio/sound_backend.h"
#include "core/audio/wav_play_file.h"

namespace tarvok {

class TWaveRecorder;

class TWavFilePlayer final : public QObject, private TPlaybackSource {
  Q_OBJECT
 public:
  static constexpr int kBufferBytes = 16384;

  // Plays on the back end that `station` plays on.
  TWavFilePlayer(TSoundBackend& backend, TWaveRecorder& station, QObject* parent = nullptr);
  ~TWavFilePlayer() override;

  // Starts playing the file without waiting for it; returns "" when it plays, else the message
  // for the user: "The audio device is busy" while the station itself plays, or why the file
  // cannot be played. A file already playing is stopped first (Finished for it).
  QString Play(const QString& path);
  // Stops the file; Finished follows when one was playing.
  void Stop();
  bool Playing() const { return stream_ != nullptr; }
  // The playing file, "" when none.
  QString File() const { return file_; }

 signals:
  // The file ended, was stopped, or was cut off because the station started to play.
  void Finished(const QString& path);

 private:
  void PlaybackOpened() override {}
  std::size_t NextBuffer(std::span<std::byte> buffer) override;
  void BufferPlayed() override { ++played_; }
  void PlaybackClosed() override;
  // From the back end's thread: the end reaches the main thread, for this playback only.
  void HandEndToMainThread();

  TSoundBackend& backend_;
  const TWaveRecorder& station_;
  TWavPlayFile reader_;
  std::unique_ptr<TAudioStream> stream_;
  QString file_;

  // Shared with the back end's thread.
  std::atomic<int> filled_{0};
  std::atomic<int> played_{0};
  std::atomic<bool> closing_{false};
  std::atomic<unsigned> playback_{0};
};

}  // namespace tarvok
