#include "core/station/status_display.h"

#include "core/audio/recorder_control.h"
#include "core/common/clock.h"
#include "core/common/repeater_mode.h"
#include "core/config/config.h"
#include "core/station/station_state.h"

namespace tarvok {

QString TransferText(int showSize, std::int64_t bytesRead, std::int64_t bytesWritten,
                     int bytesPerSec) {
  if (showSize == 1) {
    const auto seconds = [&](std::int64_t bytes) {
      return bytesPerSec > 0 ? bytes / bytesPerSec : 0;
    };
    return QStringLiteral("Read: %1s, Write: %2s    ")
        .arg(seconds(bytesRead))
        .arg(seconds(bytesWritten));
  }
  return QStringLiteral("Read: %1b, Write: %2b    ").arg(bytesRead).arg(bytesWritten);
}

QString CaptionText(int mode, bool schedulerOn) {
  QString caption = schedulerOn ? QStringLiteral("Schedule - ") : QString();
  if (mode == rmNone && schedulerOn)
    return caption + QStringLiteral("waiting");
  return caption + RepeaterModeText(mode);
}

TStatusDisplay::TStatusDisplay(const TStationState& state, TConfig& config, const TClock& clock,
                               const TRecorderControl& recorder, QObject* parent)
    : QObject(parent), state_(state), config_(config), clock_(clock), recorder_(recorder) {}

void TStatusDisplay::ShowError(const QString& text) {
  if (state_.Closing)
    return;
  SetError(text);
  if (config_.Debug())
    config_.WriteDebugLog(text);
}

void TStatusDisplay::ClearError() { SetError(QString()); }

void TStatusDisplay::SetError(const QString& text) {
  errorText_ = text;
  emit ErrorChanged(errorText_);
}

void TStatusDisplay::UpdateCaptions() {
  if (state_.Closing)
    return;
  caption_ = CaptionText(state_.Mode, state_.SchedulerOn);
  emit CaptionChanged(caption_);
}

void TStatusDisplay::ProgressTick() {
  const qint64 now = clock_.Now().toMSecsSinceEpoch();
  qint64 last = lastProgressTime_.load();
  // A clock set back must not hold the counters until it has caught up again.
  if (now - last <= kProgressInterval && now >= last)
    return;
  if (lastProgressTime_.compare_exchange_strong(last, now))
    QMetaObject::invokeMethod(this, &TStatusDisplay::ShowTransfer, Qt::QueuedConnection);
}

void TStatusDisplay::ShowTransfer() {
  if (state_.Closing)
    return;
  transfer_ = TransferText(config_.ShowSize(), recorder_.BytesRead(), recorder_.BytesWritten(),
                           recorder_.BytesPerSec());
  emit TransferChanged(transfer_);
}

}  // namespace tarvok
