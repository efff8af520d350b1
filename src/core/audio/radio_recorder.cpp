#include "core/audio/radio_recorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/audio/recording_name.h"
#include "core/common/clock.h"
#include "core/config/config.h"

namespace tarvok {

namespace {

constexpr double kInitialFrequency = 1000.0;
constexpr int kInitialElementMs = 500;

const TWaveFormat& ToneFormat() {
  static const TWaveFormat format = TWaveFormat::Pcm(TSineBuffer::kSampleRate, 16, 1);
  return format;
}

}  // namespace

TRadioRecorder::TRadioRecorder(TSoundBackend& backend, TUserMessages& messages,
                               const TConfig& config, const TClock& clock, int bufferSize,
                               int bufferCount)
    : TWaveRecorder(backend, messages, bufferSize, bufferCount),
      config_(config),
      clock_(clock),
      elements_(sine_, bufferSize) {
  sine_.SetFrequency(kInitialFrequency);
  sine_.SetElementLength(kInitialElementMs);
  RecordingsFolder();
}

TRadioRecorder::~TRadioRecorder() {
  StopRecord();
  CloseDevices();
  playFile_.Close();
  // Only a recording of our own goes; FileName may name an audio event's file.
  if (fileName_ == lastRecording_)
    DeleteIfNotKept(fileName_);
}

QString TRadioRecorder::RecordingsFolder() const {
  const QString folder = config_.LogPath().isEmpty() ? config_.DefaultLogPath() : config_.LogPath();
  QDir().mkpath(folder);
  return folder;
}

// Runs only once the capture device is open, so no file is left behind when it could not be.
void TRadioRecorder::PrepareRecord() {
  if (saveToFile_)
    StartFile();
}

void TRadioRecorder::StopRecord() {
  TWaveRecorder::StopRecord();
  if (onBuffer_)
    onBuffer_({});
  if (saveToFile_)
    CloseFile();
}

void TRadioRecorder::StartFile() {
  const QString name = RecordingsFolder() + RecordingFileName(clock_.Now());
  QString error;
  {
    const std::lock_guard lock(fileMutex_);
    recording_.Close();
    fileName_ = lastRecording_ = name;
    writeFailed_ = false;
    bytesWritten_ = 0;
    error = recording_.Create(name, Format());
  }
  emit RecordingFileStarted(name);
  if (!error.isEmpty())
    Error(error);
  emit RecordProgress();
}

void TRadioRecorder::CloseFile() {
  {
    const std::lock_guard lock(fileMutex_);
    recording_.Close();
  }
  emit RecordProgress();
}

void TRadioRecorder::DataReady(std::span<const std::byte> block) {
  if (onBuffer_)
    onBuffer_(block);
}

void TRadioRecorder::WriteBlock(std::span<std::byte> block) {
  if (onData_)
    onData_(block);
  if (!saveToFile_)
    return;
  QString failure;
  {
    const std::lock_guard lock(fileMutex_);
    if (!recording_.IsOpen())
      return;
    const bool written = recording_.Append(reinterpret_cast<const std::uint8_t*>(block.data()),
                                           static_cast<std::int64_t>(block.size()));
    bytesWritten_ = recording_.BytesWritten();
    if (!written && !writeFailed_) {
      writeFailed_ = true;
      failure = QStringLiteral("Cannot write the recording %1").arg(recording_.FileName());
    }
  }
  if (!failure.isEmpty())
    Error(failure);
  emit RecordProgress();
}

void TRadioRecorder::PreparePlay() {
  isTone_ = IsTonePlayKind(playKind_);
  if (isTone_) {
    SetFormat(ToneFormat());
    const std::lock_guard lock(toneMutex_);
    elements_.GetData(nullptr, 0);
  } else {
    OpenPlayFile();
  }
}

void TRadioRecorder::OpenPlayFile() {
  playFile_.Close();
  bytesRead_ = 0;
  emit PlayProgress();
  // When the file cannot be opened nothing is played: the playback that follows ends at once.
  const QString error = playFile_.Open(fileName_);
  if (!error.isEmpty()) {
    Error(error);
    return;
  }
  SetFormat(playFile_.Format());
}

int TRadioRecorder::GetPlayData(std::uint8_t* buffer, int size) {
  if (isTone_) {
    const std::lock_guard lock(toneMutex_);
    return elements_.GetData(buffer, size);
  }
  return onGetData_ ? onGetData_(buffer, size) : ReadBlock(buffer, size);
}

void TRadioRecorder::PreparePlayData() {
  if (!isTone_)
    return;
  const std::lock_guard lock(toneMutex_);
  elements_.Render();
}

int TRadioRecorder::ReadBlock(std::uint8_t* buffer, int size) {
  if (!playFile_.IsOpen())
    return 0;
  const int count = playFile_.Read(buffer, size);
  bytesRead_ += count;
  emit PlayProgress();
  return count;
}

void TRadioRecorder::PlayStopped() {
  playFile_.Close();
  if (playKind_ == 0)
    DeleteIfNotKept(fileName_);
  emit PlayProgress();
  emit PlayDone();
}

void TRadioRecorder::DeleteIfNotKept(const QString& fileName) {
  // A repeated transmission is kept only when the recordings log is on.
  if (!config_.LogEnabled() && !fileName.isEmpty() && QFileInfo::exists(fileName))
    QFile::remove(fileName);
}

int TRadioRecorder::PlayedSeconds() const {
  const auto rate = static_cast<std::int64_t>(Format().AvgBytesPerSec);
  return rate > 0 ? static_cast<int>(bytesRead_ / rate) : 0;
}

int TRadioRecorder::RecordedSeconds() const {
  const int rate = BytesPerSec();
  return rate > 0 ? static_cast<int>(bytesWritten_ / rate) : 0;
}

void TRadioRecorder::SetFrequency(double hz) {
  const std::lock_guard lock(toneMutex_);
  sine_.SetFrequency(hz);
}

void TRadioRecorder::SetElementLength(int ms) {
  const std::lock_guard lock(toneMutex_);
  sine_.SetElementLength(ms);
}

void TRadioRecorder::SetVolume(int volume) {
  const std::lock_guard lock(toneMutex_);
  sine_.SetVolume(volume);
}

void TRadioRecorder::SetCWText(const QString& elements) {
  const std::lock_guard lock(toneMutex_);
  elements_.SetCWText(elements);
}

}  // namespace tarvok
