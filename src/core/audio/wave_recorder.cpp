#include "core/audio/wave_recorder.h"

#include <QMetaMethod>
#include <QThread>
#include <algorithm>

#include "core/audio/sound_card.h"
#include "core/common/user_messages.h"

namespace tarvok {

TPcmFormat PcmOf(const TWaveFormat& format) {
  return {static_cast<int>(format.SamplesPerSec), format.Channels, format.BitsPerSample};
}

TWaveRecorder::TWaveRecorder(TSoundBackend& backend, TUserMessages& messages, int bufferSize,
                             int bufferCount)
    : backend_(backend),
      messages_(messages),
      bufferSize_(bufferSize),
      bufferCount_(std::clamp(bufferCount, 1, kMaxBuffers)) {
  settings_ = TWaveFormat::Pcm(20000, 8, 1);
  FillFormat();
}

TWaveRecorder::~TWaveRecorder() { CloseDevices(); }

void TWaveRecorder::SetRecordingFormat(std::uint16_t formatTag, std::uint16_t channels,
                                       std::uint32_t samplesPerSec, std::uint16_t bitsPerSample,
                                       int recordBufferLength) {
  settings_.FormatTag = formatTag;
  settings_.Channels = channels;
  settings_.SamplesPerSec = samplesPerSec;
  settings_.BitsPerSample = bitsPerSample;
  recordBufferLength_ = recordBufferLength;
}

void TWaveRecorder::FillFormat() {
  format_ = settings_;
  format_.BlockAlign = static_cast<std::uint16_t>(settings_.Channels * settings_.BitsPerSample / 8);
  format_.AvgBytesPerSec =
      settings_.BitsPerSample / 8 * settings_.SamplesPerSec * settings_.Channels;
  format_.CbSize = 0;
}

int TWaveRecorder::BytesPerSec() const {
  return static_cast<int>(settings_.Channels * settings_.SamplesPerSec * settings_.BitsPerSample /
                          8);
}

void TWaveRecorder::SetUpBuffers() {
  const int align = std::max<int>(format_.BlockAlign, 1);
  alignedBufferSize_ = bufferSize_ - bufferSize_ % align;
  captureLength_ = recordBufferLength_ > 0 && recordBufferLength_ < alignedBufferSize_
                       ? recordBufferLength_
                       : alignedBufferSize_;
}

bool TWaveRecorder::CloseStaleDevices() {
  bool stale = false;
  if (capture_) {
    CloseCapture();
    Error(QStringLiteral("WaveIn is not closed"));
    stale = true;
  }
  if (output_) {
    playing_ = false;
    CloseOutput();
    Error(QStringLiteral("WaveOut is not closed"));
    stale = true;
  }
  return stale;
}

bool TWaveRecorder::OpenRecord() {
  bytesRead_ = 0;
  buffersQueued_ = 0;
  buffersDone_ = 0;
  playBuffersDone_ = 0;
  if (CloseStaleDevices())
    return false;
  SetUpBuffers();
  // Only PCM is ever filled in; anything else is a format no device takes.
  const TAudioResult result =
      format_.FormatTag != TWaveFormat::kPcm
          ? TAudioResult::Fail(TAudioResult::kBadFormat, QString())
          : backend_.OpenCapture(PcmOf(format_), captureLength_, *this, capture_);
  if (result.Failed()) {
    capture_.reset();
    Error(QStringLiteral("Could not open the input device for recording:\n\r") +
          AudioErrorMessage(result));
    return false;
  }
  deviceState_ = TDeviceState::Capture;
  buffersQueued_ = 1;
  return true;
}

bool TWaveRecorder::StartRecord() {
  if (!capture_)
    return false;
  emit Starting();
  PrepareRecord();
  stopping_ = false;
  recording_ = true;
  buffersQueued_ += bufferCount_ - 1;
  return true;
}

void TWaveRecorder::StopRecord() {
  stopping_ = true;
  if (capture_)
    CloseCapture();
}

void TWaveRecorder::CloseCapture() {
  // Destroying the stream hands back the part of a block captured so far, still as recorded.
  capture_.reset();
  recording_ = false;
  deviceState_ = TDeviceState::Closed;
}

void TWaveRecorder::CaptureData(std::span<const std::byte> block) {
  if (!recording_)
    return;
  if (!block.empty())
    DataReady(block);
  if (!stopping_) {
    ++buffersQueued_;
    ++buffersDone_;
  }
}

void TWaveRecorder::CaptureTail(std::span<const std::byte> partial) {
  if (recording_ && !partial.empty())
    DataReady(partial);
}

bool TWaveRecorder::Play() {
  bytesRead_ = 0;
  buffersDone_ = 0;
  playBuffersDone_ = 0;
  if (deviceState_ != TDeviceState::Closed)
    return false;
  emit Starting();
  PreparePlay();
  bytesPlayed_ = 0;
  SetUpBuffers();
  if (CloseStaleDevices())
    return false;
  ++playback_;
  emit PlayStarting();
  const TAudioResult result =
      format_.FormatTag != TWaveFormat::kPcm
          ? TAudioResult::Fail(TAudioResult::kBadFormat, QString())
          : backend_.OpenPlayback(PcmOf(format_), alignedBufferSize_, *this, output_);
  if (result.Failed()) {
    output_.reset();
    playing_ = false;
    Error(QStringLiteral("Could not open the output device for playing:\n\r") +
          AudioErrorMessage(result));
    return false;
  }
  deviceState_ = TDeviceState::Output;
  // The first buffers were asked for while the stream opened; without data it ends at once.
  if (buffersDone_ == 0) {
    StopPlay();
    return false;
  }
  return true;
}

std::size_t TWaveRecorder::NextBuffer(std::span<std::byte> buffer) {
  if (!playing_)
    return 0;
  const int size = static_cast<int>(std::min<std::size_t>(buffer.size(), alignedBufferSize_));
  const int n = GetPlayData(reinterpret_cast<std::uint8_t*>(buffer.data()), size);
  if (n > 0) {
    ++buffersDone_;
    bytesPlayed_ += n;
    PreparePlayData();
    return static_cast<std::size_t>(std::min(n, size));
  }
  if (playBuffersDone_ >= buffersDone_)
    HandStopToMainThread(false);
  return 0;
}

void TWaveRecorder::PlaybackClosed() {
  // Our own close clears Playing first; anything else is the sound system ending the stream.
  if (playing_.exchange(false))
    HandStopToMainThread(true);
}

void TWaveRecorder::HandStopToMainThread(bool deviceLost) {
  const unsigned playback = playback_;
  QMetaObject::invokeMethod(
      this,
      [this, playback, deviceLost] {
        if (playback != playback_ || deviceState_ != TDeviceState::Output)
          return;
        if (deviceLost)
          Error(QStringLiteral("The output device was closed while playing"));
        StopPlay();
      },
      Qt::QueuedConnection);
}

void TWaveRecorder::StopPlay() {
  if (deviceState_ != TDeviceState::Output || !output_)
    return;
  playing_ = false;
  CloseOutput();
}

void TWaveRecorder::CloseOutput() {
  output_.reset();
  deviceState_ = TDeviceState::Closed;
  PlayStopped();
}

void TWaveRecorder::CloseDevices() {
  stopping_ = true;
  playing_ = false;
  capture_.reset();
  output_.reset();
  recording_ = false;
  deviceState_ = TDeviceState::Closed;
}

void TWaveRecorder::Error(const QString& message) {
  if (QThread::currentThread() != thread()) {
    QMetaObject::invokeMethod(
        this, [this, message] { Error(message); }, Qt::QueuedConnection);
    return;
  }
  lastError_ = message;
  // A lost sound server is reported by the back end, once per outage.
  if (reporting_ || backend_.ServerLost())
    return;
  reporting_ = true;
  if (isSignalConnected(QMetaMethod::fromSignal(&TWaveRecorder::ErrorRaised)))
    emit ErrorRaised(lastError_);
  else
    messages_.ShowError(lastError_);
  reporting_ = false;
}

}  // namespace tarvok
