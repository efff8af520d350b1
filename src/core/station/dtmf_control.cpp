#include "core/station/dtmf_control.h"

#include <QMetaObject>

#include "core/audio/pcm_conversion.h"
#include "core/audio/wave_format.h"
#include "core/common/clock.h"

namespace tarvok {

TDtmfControl::TDtmfControl(const TDtmfControlSettings& settings, const TClock& clock, int level,
                           QObject* parent)
    : QObject(parent), clock_(clock) {
  if (settings.Enabled)
    reader_ = std::make_unique<TDtmfCommandReader>(settings.Pin);
  decoder_.SetLevel(level);
}

TDtmfControl::~TDtmfControl() = default;

void TDtmfControl::CapturedBlock(std::span<const std::byte> block) {
  if (!Enabled())
    return;
  const std::lock_guard lock(mutex_);
  mono_.clear();
  DecodeMono(block, 1, 16, mono_);
  Queue(mono_);
}

void TDtmfControl::RecordedBlock(std::span<const std::byte> block, const TWaveFormat& format) {
  if (!Enabled())
    return;
  const std::lock_guard lock(mutex_);
  const int rate = static_cast<int>(format.SamplesPerSec);
  if (!resampler_ || resamplerRate_ != rate) {
    resampler_ = std::make_unique<TAntiAliasResampler>(rate, TDtmfFrameDecoder::kSampleRate);
    resamplerRate_ = rate;
  }
  frames_.clear();
  DecodeMono(block, format.Channels, format.BitsPerSample, frames_);
  mono_.clear();
  resampler_->Process(frames_, mono_);
  Queue(mono_);
}

void TDtmfControl::Queue(std::span<const std::int16_t> samples) {
  const bool idle = pending_.empty();
  pending_.insert(pending_.end(), samples.begin(), samples.end());
  if (idle && !samples.empty())
    QMetaObject::invokeMethod(this, &TDtmfControl::Decode, Qt::QueuedConnection);
}

void TDtmfControl::Decode() {
  {
    const std::lock_guard lock(mutex_);
    samples_.assign(pending_.begin(), pending_.end());
    pending_.clear();
  }
  keys_.clear();
  decoder_.Process(samples_, keys_);
  const std::int64_t ms = clock_.Now().toMSecsSinceEpoch();
  for (const TDtmfFrameDecoder::TKey& key : keys_) {
    const TDtmfCommandReader::TOutcome outcome = reader_->Take(key.Key, ms);
    pinHeard_ = pinHeard_ || reader_->PinHeard();
    switch (outcome) {
      case TDtmfCommandReader::TOutcome::Command:
        emit CommandReceived(reader_->Command());
        break;
      case TDtmfCommandReader::TOutcome::Locked:
        emit LogLine(QStringLiteral("DTMF control: three wrong PINs, entry locked for 10 minutes"));
        emit EntryRefused();
        break;
      case TDtmfCommandReader::TOutcome::WrongPin:
      case TDtmfCommandReader::TOutcome::Unknown:
        emit EntryRefused();
        break;
      case TDtmfCommandReader::TOutcome::None:
        break;
    }
  }
}

}  // namespace tarvok
