// The buffered engine under all recording and playback of the station: it captures the default
// recording line in blocks and plays buffers on the default output through the sound card's back
// end. It does not know where audio comes from or goes to: each captured block goes to DataReady,
// and playback asks GetPlayData for the data of each buffer. Capture and playback never run at
// once.
//
// Threads: the operations run on the main thread. DataReady runs on the back end's thread, and so
// do GetPlayData and PreparePlayData, except for the first two buffers, which Play asks for. A
// device is never closed from inside its own notification: the end of a playback is handed to the
// main thread, which resets and closes the stream and then calls PlayStopped.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>

#include "core/audio/sound_backend.h"
#include "core/audio/wave_format.h"

namespace tarvok {

class TUserMessages;

// The stream format of a wave format.
TPcmFormat PcmOf(const TWaveFormat& format);

class TWaveRecorder : public QObject, private TCaptureSink, private TPlaybackSource {
  Q_OBJECT
 public:
  static constexpr int kMaxBuffers = 8;
  enum class TDeviceState { Closed = 0, Capture = 1, Output = 2 };

  // bufferSize: bytes per buffer; bufferCount: capture buffers queued at once, 1 to 8.
  TWaveRecorder(TSoundBackend& backend, TUserMessages& messages, int bufferSize, int bufferCount);
  ~TWaveRecorder() override;
  TWaveRecorder(const TWaveRecorder&) = delete;
  TWaveRecorder& operator=(const TWaveRecorder&) = delete;

  // The owner's recording format, which FillFormat gives the next open. recordBufferLength is the
  // captured block's length when above 0 and below the buffer size; 0 uses the whole buffer.
  void SetRecordingFormat(std::uint16_t formatTag, std::uint16_t channels,
                          std::uint32_t samplesPerSec, std::uint16_t bitsPerSample,
                          int recordBufferLength);
  void FillFormat();
  // The format set by SetRecordingFormat.
  const TWaveFormat& RecordingFormat() const { return settings_; }
  const TWaveFormat& Format() const { return format_; }
  // Of the recording format: Channels x SamplesPerSec x BitsPerSample / 8.
  int BytesPerSec() const;
  int AlignedBufferSize() const { return alignedBufferSize_; }

  bool OpenRecord();
  bool StartRecord();
  virtual void StopRecord();
  bool Play();
  void StopPlay();
  // Reports through ErrorRaised, or to the user when nothing listens; an error raised while one is
  // being reported is only kept as LastError. From another thread it is handed to the main thread.
  void Error(const QString& message);

  TDeviceState DeviceState() const { return deviceState_; }
  bool Recording() const { return recording_; }
  bool Playing() const { return playing_; }
  int BuffersQueued() const { return buffersQueued_; }
  std::int64_t BytesPlayed() const { return bytesPlayed_; }
  std::int64_t BytesRead() const { return bytesRead_; }
  const QString& LastError() const { return lastError_; }

 signals:
  void ErrorRaised(const QString& message);
  // Just before capture starts and before the output device is opened.
  void Starting();
  // Just before the output device is opened: whoever else plays on it gives way.
  void PlayStarting();

 protected:
  // Right after Starting: the owner readies where the audio goes to or comes from. Errors it
  // reports stay shown, since the start clears the last error first.
  virtual void PrepareRecord() {}
  virtual void PreparePlay() {}
  virtual void DataReady(std::span<const std::byte> block) = 0;
  // Fills at most `size` bytes and returns how many; 0 when the source is exhausted.
  virtual int GetPlayData(std::uint8_t* buffer, int size) = 0;
  // After each buffer written, so that the source can prepare the next one.
  virtual void PreparePlayData() {}
  // The output device has been closed.
  virtual void PlayStopped() {}
  // The format of the playback that follows (a file's or the tone generator's).
  void SetFormat(const TWaveFormat& format) { format_ = format; }
  // For a subclass's destructor: closes both devices without PlayStopped.
  void CloseDevices();

  std::atomic<std::int64_t> bytesRead_{0};

 private:
  void SetUpBuffers();
  bool CloseStaleDevices();
  void CloseCapture();
  void CloseOutput();
  void HandStopToMainThread(bool deviceLost);

  void CaptureOpened() override {}
  void CaptureData(std::span<const std::byte> block) override;
  void CaptureTail(std::span<const std::byte> partial) override;
  void CaptureClosed() override {}
  void PlaybackOpened() override { playing_ = true; }
  std::size_t NextBuffer(std::span<std::byte> buffer) override;
  void BufferPlayed() override { ++playBuffersDone_; }
  void PlaybackClosed() override;

  TSoundBackend& backend_;
  TUserMessages& messages_;
  const int bufferSize_;
  const int bufferCount_;

  TWaveFormat settings_;
  int recordBufferLength_ = 0;
  TWaveFormat format_;
  int alignedBufferSize_ = 0;
  int captureLength_ = 0;

  std::unique_ptr<TAudioStream> capture_;
  std::unique_ptr<TAudioStream> output_;
  TDeviceState deviceState_ = TDeviceState::Closed;
  QString lastError_;
  bool reporting_ = false;

  // Shared with the back end's thread.
  std::atomic<bool> recording_{false};
  std::atomic<bool> stopping_{false};
  std::atomic<bool> playing_{false};
  std::atomic<int> buffersQueued_{0};
  std::atomic<int> buffersDone_{0};  // capture: returned; playback: written
  std::atomic<int> playBuffersDone_{0};
  std::atomic<std::int64_t> bytesPlayed_{0};
  // Tells a stop handed to the main thread from a later playback's.
  std::atomic<unsigned> playback_{0};
};

}  // namespace tarvok
