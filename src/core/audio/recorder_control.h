// What the station engine asks of the recorder and player, and what it is told back. The record
// thread implements it on the sound card; tests may put a small fake in its place.
//
// Every event arrives on the main thread, in the order it happened. In particular the end of a
// playback is handed to the main thread together with what follows it (listening again after
// play), so the engine always sees the end of a playback before the listening it leads to.
#pragma once

#include <QString>
#include <cstdint>

namespace tarvok {

class TRecorderEvents {
 public:
  virtual ~TRecorderEvents() = default;
  virtual void OnRecordStart(bool saveToFile) = 0;  // before a recording or listening starts
  virtual void OnRecordStop() = 0;                  // after it stopped
  // After a playback of an audio-event slot (Play's kind) started, and when it has ended.
  virtual void OnPlayStart(int kind) = 0;
  virtual void OnPlayFinished(int kind) = 0;
};

class TRecorderControl {
 public:
  enum class TState { Idle = 0, Recording = 1, Playing = 2 };

  virtual ~TRecorderControl() = default;

  virtual void SetEvents(TRecorderEvents* events) = 0;
  virtual TState State() const = 0;

  // Capture, to a new "yymmdd_hhnnss.wav" recording when saveToFile, else for listening only.
  // False unless idle.
  virtual bool StartRecord(bool saveToFile) = 0;
  // True when idle afterwards; false while playing.
  virtual bool StopRecord() = 0;
  // Plays an audio-event slot: 0 the last recording, 1-4 and 7 the event's WAV file, 5, 6 and 8
  // the element string set by SetCWText. False unless idle or when it could not start.
  virtual bool Play(int kind) = 0;
  virtual bool StopPlay() = 0;
  virtual bool RestartRecord() = 0;
  // The end of a received transmission: stops what runs, then plays `kind` (kind 0 only when
  // something was recorded), or listens again when ListenAfterPlay is on.
  virtual bool Repeat(int kind) = 0;
  virtual bool SourceExists(int kind) const = 0;
  virtual void SetListenAfterPlay(bool on) = 0;
  virtual void SetCWText(const QString& elements) = 0;

  // The transfer counters of the current or last recording and playback.
  virtual std::int64_t BytesWritten() const = 0;
  virtual std::int64_t BytesRead() const = 0;
  virtual int BytesPerSec() const = 0;
};

}  // namespace tarvok
