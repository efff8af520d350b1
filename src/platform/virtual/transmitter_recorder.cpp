#include "platform/virtual/transmitter_recorder.h"

#include <QDir>

#include "core/audio/air_wav_files.h"

namespace tarvok {

TTransmitterRecorder::TTransmitterRecorder(const QString& folder, int sampleRate)
    : sampleRate_(sampleRate) {
  const QDir dir(folder);
  error_ = wav_.Create(dir.filePath(QLatin1String(kTransmitterWavName)),
                       TWaveFormat::Pcm(static_cast<std::uint32_t>(sampleRate), 16, 1));
  log_.setFileName(dir.filePath(QStringLiteral("transmitter.log")));
  if (!log_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text) && error_.isEmpty())
    error_ = QStringLiteral("Cannot create %1: %2").arg(log_.fileName(), log_.errorString());
  pending_.reserve(static_cast<std::size_t>(sampleRate));
  writing_.reserve(static_cast<std::size_t>(sampleRate));
}

TTransmitterRecorder::~TTransmitterRecorder() {
  {
    const std::lock_guard lock(mutex_);
    writing_.swap(pending_);
  }
  WriteOut();
}

void TTransmitterRecorder::Write(std::span<const std::int16_t> samples, std::int64_t position,
                                 bool playing) {
  {
    const std::lock_guard lock(mutex_);
    position_ = position + static_cast<std::int64_t>(samples.size());
    if (playing || keyed_) {
      pending_.insert(pending_.end(), samples.begin(), samples.end());
      kept_ += static_cast<std::int64_t>(samples.size());
    }
    // Written at a stretch's end and once a second, outside the lock: keying never waits for
    // the disk.
    if ((!playing && !keyed_) || pending_.size() >= static_cast<std::size_t>(sampleRate_))
      writing_.swap(pending_);
  }
  WriteOut();
}

void TTransmitterRecorder::SetKeyed(bool keyed) {
  const std::lock_guard lock(mutex_);
  if (keyed == keyed_)
    return;
  keyed_ = keyed;
  const QString line = QStringLiteral("%1 s: %2 (transmitter.wav at %3 s)\n")
                           .arg(static_cast<double>(position_) / sampleRate_, 0, 'f', 3)
                           .arg(keyed ? QStringLiteral("keyed") : QStringLiteral("released"))
                           .arg(static_cast<double>(kept_) / sampleRate_, 0, 'f', 3);
  log_.write(line.toUtf8());
  log_.flush();
}

void TTransmitterRecorder::WriteOut() {
  if (writing_.empty())
    return;
  wav_.Append(reinterpret_cast<const std::uint8_t*>(writing_.data()),
              static_cast<std::int64_t>(writing_.size() * sizeof(std::int16_t)));
  writing_.clear();
}

}  // namespace tarvok
