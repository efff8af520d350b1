// The recorder and player as the station engine drives it. A worker thread writes the captured
// blocks to the recording, so that the back end's thread never waits for the disk for longer than
// about 0.1 s; starts and stops of playback are serialised; and the end of a playback leads to
// listening again when ListenAfterPlay is on, for the Simplex Repeater cycle.
//
// Threads: every operation and every event on the main thread. The back end's thread hands over
// captured blocks (OnBuffer) and reads playback files (OnGetData); the worker writes the blocks.
#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/audio/radio_recorder.h"
#include "core/audio/recorder_control.h"

namespace tarvok {

class TRecordThread final : public QObject, public TRecorderControl {
  Q_OBJECT
 public:
  static constexpr int kBufferSize = 44100;
  static constexpr int kBufferCount = 4;

  TRecordThread(TSoundBackend& backend, TUserMessages& messages, const TConfig& config,
                const TClock& clock);
  ~TRecordThread() override;

  // For the recording format, the tone settings, the error and progress signals and OnData.
  TRadioRecorder& Recorder() { return *recorder_; }
  const TRadioRecorder& Recorder() const { return *recorder_; }

  void SetEvents(TRecorderEvents* events) override { events_ = events; }
  TState State() const override;
  bool StartRecord(bool saveToFile) override;
  bool StopRecord() override;
  bool Play(int kind) override;
  bool StopPlay() override;
  bool RestartRecord() override;
  bool Repeat(int kind) override;
  bool SourceExists(int kind) const override;
  void SetListenAfterPlay(bool on) override { listenAfterPlay_ = on; }
  bool ListenAfterPlay() const { return listenAfterPlay_; }
  void SetCWText(const QString& elements) override { recorder_->SetCWText(elements); }

  std::int64_t BytesWritten() const override { return recorder_->BytesWritten(); }
  std::int64_t BytesRead() const override { return recorder_->BytesRead(); }
  int BytesPerSec() const override { return recorder_->BytesPerSec(); }
  // Bytes captured since the last playback started.
  std::int64_t TotalRecorded() const { return totalRecorded_; }

 private:
  static constexpr int kWriteBlock = 5;

  // The back end's thread.
  void OnBuffer(std::span<const std::byte> block);
  int OnGetData(std::uint8_t* buffer, int size);
  void PlayFinished();
  void Run();
  void Wake();
  // Waits in steps of 1 ms, at most 100 of them, while `busy` holds; whether it stopped holding.
  template <typename Busy>
  bool WaitWhile(Busy busy) const;

  const TConfig& config_;
  TRecorderEvents* events_ = nullptr;
  bool listenAfterPlay_ = false;

  std::mutex dataLock_;              // the block buffer
  std::recursive_mutex deviceLock_;  // starts and stops of playback
  std::vector<std::byte> block_;
  int blockLength_ = 0;
  std::atomic<int> command_{0};
  std::atomic<bool> blockPending_{false};
  std::atomic<std::int64_t> totalRecorded_{0};

  std::mutex wakeMutex_;
  std::condition_variable wakeEvent_;
  bool woken_ = false;
  std::atomic<bool> terminated_{false};

  std::unique_ptr<TRadioRecorder> recorder_;
  std::thread worker_;
};

}  // namespace tarvok
