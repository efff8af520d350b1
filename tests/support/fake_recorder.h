// A recorder and player that plays nothing: it keeps the state a record thread would have, logs
// what the station asks of it, and raises the events as the record thread does: those of a call
// at once, the end of a playback handed over through the event loop, followed by listening again.
// A test ends a playback with EndPlayback and can make a playback fail to start.
#pragma once

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QObject>
#include <QStringList>
#include <functional>

#include "core/audio/recorder_control.h"
#include "core/config/config.h"

namespace tarvok {

class TFakeRecorder final : public TRecorderControl {
 public:
  explicit TFakeRecorder(const TConfig& config) : config_(config) {}

  void SetEvents(TRecorderEvents* events) override { events_ = events; }
  TState State() const override { return state_; }

  bool StartRecord(bool saveToFile) override {
    if (state_ != TState::Idle)
      return false;
    Log << (saveToFile ? "record" : "listen");
    Raise([&] { events_->OnRecordStart(saveToFile); });
    state_ = TState::Recording;
    saving_ = saveToFile;
    HasRecording = HasRecording || saveToFile;
    return true;
  }
  bool StopRecord() override {
    if (state_ == TState::Playing)
      return false;
    if (state_ == TState::Recording) {
      Log << "stop record";
      state_ = TState::Idle;
      Raise([&] { events_->OnRecordStop(); });
    }
    return true;
  }
  bool Play(int kind) override {
    if (state_ != TState::Idle || FailPlay || !SourceExists(kind))
      return false;
    Log << QStringLiteral("play %1").arg(kind);
    state_ = TState::Playing;
    PlayKind = kind;
    Raise([&] { events_->OnPlayStart(kind); });
    return true;
  }
  // A stopped playback ends through the same hand-over as one that ran out.
  bool StopPlay() override {
    if (state_ == TState::Recording)
      return false;
    if (state_ == TState::Playing) {
      Log << "stop play";
      state_ = TState::Idle;
      HandOverEnd();
    }
    return true;
  }
  bool RestartRecord() override {
    StopRecord();
    return StartRecord(true);
  }
  bool Repeat(int kind) override {
    const bool wasSaving = state_ == TState::Recording && saving_;
    StopRecord();
    StopPlay();
    if (state_ != TState::Idle)
      return false;
    if ((wasSaving && HasRecording) || kind != 0)
      return Play(kind);
    return listenAfterPlay_ ? StartRecord(false) : true;
  }
  bool SourceExists(int kind) const override {
    if (kind == 5 || kind == 6 || kind == 8)
      return true;
    if (kind == 0)
      return HasRecording;
    return QFileInfo::exists(config_.WAVFile(kind));
  }
  void SetListenAfterPlay(bool on) override { listenAfterPlay_ = on; }
  void SetCWText(const QString& elements) override { CWText = elements; }

  std::int64_t BytesWritten() const override { return Written; }
  std::int64_t BytesRead() const override { return Read; }
  int BytesPerSec() const override { return PerSec; }

  // The playback runs out.
  void EndPlayback() {
    ASSERT_EQ(state_, TState::Playing);
    state_ = TState::Idle;
    HandOverEnd();
  }

  QStringList Log;
  bool FailPlay = false;
  bool HasRecording = false;  // the last recording's file exists
  int PlayKind = -1;
  QString CWText;
  std::int64_t Written = 0;
  std::int64_t Read = 0;
  int PerSec = 8000;

 private:
  void Raise(const std::function<void()>& event) {
    if (events_)
      event();
  }
  // The end of a playback, then listening again when the recorder is idle.
  void HandOverEnd() {
    QMetaObject::invokeMethod(
        &context_,
        [this, kind = PlayKind] {
          if (kind == 0 && !config_.LogEnabled())
            HasRecording = false;
          Raise([&] { events_->OnPlayFinished(kind); });
          if (state_ == TState::Idle && listenAfterPlay_)
            StartRecord(false);
        },
        Qt::QueuedConnection);
  }

  const TConfig& config_;
  TRecorderEvents* events_ = nullptr;
  TState state_ = TState::Idle;
  bool saving_ = false;
  bool listenAfterPlay_ = false;
  QObject context_;
};

}  // namespace tarvok
