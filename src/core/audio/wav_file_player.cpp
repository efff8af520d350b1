#include "core/audio/wav_file_player.h"

#include <utility>

#include "core/audio/sound_card.h"
#include "core/audio/wave_recorder.h"

namespace tarvok {

TWavFilePlayer::TWavFilePlayer(TSoundBackend& backend, TWaveRecorder& station, QObject* parent)
    : QObject(parent), backend_(backend), station_(station) {
  // Direct: the preview's stream closes before the station's opens.
  connect(&station, &TWaveRecorder::PlayStarting, this, &TWavFilePlayer::Stop,
          Qt::DirectConnection);
}

TWavFilePlayer::~TWavFilePlayer() {
  closing_ = true;
  stream_.reset();
}

QString TWavFilePlayer::Play(const QString& path) {
  Stop();
  if (station_.DeviceState() == TWaveRecorder::TDeviceState::Output)
    return AudioDeviceBusyMessage();
  const QString error = reader_.Open(path);
  if (!error.isEmpty())
    return error;
  ++playback_;
  filled_ = 0;
  played_ = 0;
  closing_ = false;
  const int align = std::max<int>(reader_.Format().BlockAlign, 1);
  const TAudioResult result =
      backend_.OpenPlayback(PcmOf(reader_.Format()), kBufferBytes / align * align, *this, stream_);
  if (result.Failed()) {
    stream_.reset();
    reader_.Close();
    return result.Code == TAudioResult::kAllocated
               ? AudioDeviceBusyMessage()
               : QStringLiteral("Cannot play %1: %2").arg(path, AudioErrorMessage(result));
  }
  file_ = path;
  return {};
}

void TWavFilePlayer::Stop() {
  if (!stream_)
    return;
  closing_ = true;
  stream_.reset();
  reader_.Close();
  // From the event loop: a listener that plays again never runs inside the station's start.
  QMetaObject::invokeMethod(
      this, [this, file = std::exchange(file_, QString())] { emit Finished(file); },
      Qt::QueuedConnection);
}

std::size_t TWavFilePlayer::NextBuffer(std::span<std::byte> buffer) {
  const int bytes =
      reader_.Read(reinterpret_cast<std::uint8_t*>(buffer.data()), static_cast<int>(buffer.size()));
  if (bytes > 0) {
    ++filled_;
    return static_cast<std::size_t>(bytes);
  }
  if (played_ >= filled_)
    HandEndToMainThread();
  return 0;
}

void TWavFilePlayer::PlaybackClosed() {
  // Our own close says so first; anything else is the sound system ending the stream.
  if (!closing_)
    HandEndToMainThread();
}

void TWavFilePlayer::HandEndToMainThread() {
  const unsigned playback = playback_;
  QMetaObject::invokeMethod(
      this,
      [this, playback] {
        if (playback == playback_)
          Stop();
      },
      Qt::QueuedConnection);
}

}  // namespace tarvok
