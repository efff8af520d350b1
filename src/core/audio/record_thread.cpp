#include "core/audio/record_thread.h"

#include <pthread.h>

#include <QFileInfo>
#include <chrono>
#include <cstring>

#include "core/config/config.h"

namespace tarvok {

namespace {

constexpr int kMaxWaitSteps = 100;
constexpr auto kWaitStep = std::chrono::milliseconds(1);
constexpr auto kWorkerWait = std::chrono::milliseconds(100);

bool IsEventFileKind(int kind) { return kind >= 1 && kind <= 7 && !IsTonePlayKind(kind); }

}  // namespace

TRecordThread::TRecordThread(TSoundBackend& backend, TUserMessages& messages, const TConfig& config,
                             const TClock& clock)
    : config_(config),
      block_(kBufferSize),
      recorder_(std::make_unique<TRadioRecorder>(backend, messages, config, clock, kBufferSize,
                                                 kBufferCount)) {
  recorder_->SetOnBuffer([this](std::span<const std::byte> block) { OnBuffer(block); });
  recorder_->SetOnGetData(
      [this](std::uint8_t* buffer, int size) { return OnGetData(buffer, size); });
  connect(recorder_.get(), &TRadioRecorder::PlayDone, this, &TRecordThread::PlayFinished);
  worker_ = std::thread([this] { Run(); });
}

TRecordThread::~TRecordThread() {
  // Both devices close while the worker is still there to write the last block; the events
  // receiver may be gone already.
  disconnect(recorder_.get(), nullptr, this, nullptr);
  recorder_->StopRecord();
  recorder_->StopPlay();
  terminated_ = true;
  Wake();
  worker_.join();
}

TRecorderControl::TState TRecordThread::State() const {
  switch (recorder_->DeviceState()) {
    case TWaveRecorder::TDeviceState::Capture:
      return TState::Recording;
    case TWaveRecorder::TDeviceState::Output:
      return TState::Playing;
    default:
      return TState::Idle;
  }
}

bool TRecordThread::StartRecord(bool saveToFile) {
  if (State() != TState::Idle)
    return false;
  if (events_ != nullptr)
    events_->OnRecordStart(saveToFile);
  blockPending_ = false;
  recorder_->FillFormat();
  recorder_->SetSaveToFile(saveToFile);
  recorder_->OpenRecord();
  recorder_->StartRecord();
  return true;
}

bool TRecordThread::StopRecord() {
  switch (State()) {
    case TState::Idle:
      return true;
    case TState::Playing:
      return false;
    case TState::Recording:
      break;
  }
  recorder_->StopRecord();
  if (events_ != nullptr)
    events_->OnRecordStop();
  return true;
}

bool TRecordThread::Play(int kind) {
  if (State() != TState::Idle)
    return false;
  bool started = false;
  {
    const std::lock_guard lock(deviceLock_);
    recorder_->FillFormat();
    totalRecorded_ = 0;
    // Kind 0 is always our own last recording, the one file a playback may delete.
    if (kind == 0)
      recorder_->SetPlayFile(recorder_->LastRecording());
    else if (IsEventFileKind(kind))
      recorder_->SetPlayFile(config_.WAVFile(kind));
    recorder_->SetPlayKind(kind);
    started = recorder_->Play();
  }
  if (started && events_ != nullptr)
    events_->OnPlayStart(kind);
  return started;
}

bool TRecordThread::StopPlay() {
  switch (State()) {
    case TState::Idle:
      return true;
    case TState::Recording:
      return false;
    case TState::Playing:
      break;
  }
  const std::lock_guard lock(deviceLock_);
  recorder_->StopPlay();
  return true;
}

bool TRecordThread::RestartRecord() {
  StopRecord();
  return StartRecord(true);
}

bool TRecordThread::Repeat(int kind) {
  const bool wasSaving = recorder_->SaveToFile();
  if (State() == TState::Recording)
    StopRecord();
  if (State() == TState::Playing)
    StopPlay();
  if (State() != TState::Idle)
    return false;
  if ((wasSaving && recorder_->BuffersQueued() > 0) || kind != 0)
    return Play(kind);
  return listenAfterPlay_ ? StartRecord(false) : true;
}

bool TRecordThread::SourceExists(int kind) const {
  if (IsTonePlayKind(kind))
    return true;
  const QString file = kind == 0               ? recorder_->LastRecording()
                       : IsEventFileKind(kind) ? config_.WAVFile(kind)
                                               : QString();
  return !file.isEmpty() && QFileInfo::exists(file);
}

void TRecordThread::PlayFinished() {
  if (events_ != nullptr)
    events_->OnPlayFinished(recorder_->PlayKind());
  if (State() == TState::Idle && listenAfterPlay_)
    StartRecord(false);
}

template <typename Busy>
bool TRecordThread::WaitWhile(Busy busy) const {
  for (int i = 0; i < kMaxWaitSteps && busy() && !terminated_; ++i)
    std::this_thread::sleep_for(kWaitStep);
  return !busy();
}

void TRecordThread::OnBuffer(std::span<const std::byte> block) {
  const bool previousWritten = WaitWhile([this] { return blockPending_.load(); });
  if (block.empty())
    return;
  totalRecorded_ += static_cast<std::int64_t>(block.size());
  // A block that the worker cannot take within about 0.1 s is dropped: the sound system's thread
  // must not wait for the disk.
  if (!previousWritten || !WaitWhile([this] { return command_.load() != 0; }))
    return;
  {
    const std::lock_guard lock(dataLock_);
    blockLength_ = static_cast<int>(std::min(block.size(), block_.size()));
    std::memcpy(block_.data(), block.data(), static_cast<std::size_t>(blockLength_));
  }
  blockPending_ = true;
  command_ = kWriteBlock;
  Wake();
}

int TRecordThread::OnGetData(std::uint8_t* buffer, int size) {
  const std::lock_guard lock(dataLock_);
  return recorder_->ReadBlock(buffer, size);
}

void TRecordThread::Wake() {
  {
    const std::lock_guard lock(wakeMutex_);
    woken_ = true;
  }
  wakeEvent_.notify_one();
}

void TRecordThread::Run() {
  pthread_setname_np(pthread_self(), "tarvok-record");
  int command = 0;
  while (!terminated_) {
    if (command == kWriteBlock) {
      const std::lock_guard lock(dataLock_);
      if (blockLength_ > 0)
        recorder_->WriteBlock(std::span(block_).first(static_cast<std::size_t>(blockLength_)));
      blockPending_ = false;
    }
    std::unique_lock lock(wakeMutex_);
    wakeEvent_.wait_for(lock, kWorkerWait, [this] { return woken_ || terminated_; });
    woken_ = false;
    command = command_.exchange(0);
  }
}

}  // namespace tarvok
