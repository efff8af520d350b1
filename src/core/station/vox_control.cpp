#include "core/station/vox_control.h"

#include "core/audio/level_poller.h"
#include "core/config/config.h"
#include "core/station/trace_source.h"
#include "core/station/vox_control_check.h"

namespace tarvok {

TVoxControl::TVoxControl(TConfig& config, TLevelPoller& poller, TTraceSource& upper,
                         TTraceSource& lower, TVoxEngine& engine, QObject* parent)
    : QObject(parent),
      config_(config),
      poller_(poller),
      upper_(upper),
      lower_(lower),
      engine_(engine) {
  // A source chosen during a check comes from the check's own exchange: no second check.
  for (TTraceSource* trace : {&upper_, &lower_}) {
    connect(trace, &TTraceSource::TraceCheckRequested, this, [this] {
      if (!checking_)
        PostCheckTraces(false);
    });
  }
}

bool TVoxControl::AcceptKey(QChar key) {
  return key.unicode() < 32 || (key >= QLatin1Char('0') && key <= QLatin1Char('9'));
}

int TVoxControl::EditValue(TEdit edit) const {
  switch (edit) {
    case TEdit::AudioThreshold:
      return upper_.Levels().ThresholdLevel();
    case TEdit::NoiseLevel:
      return upper_.Levels().NoiseLevel();
    case TEdit::XmitStartDelay:
      return poller_.Vox().OnDelay();
    case TEdit::XmitStopDelay:
      return poller_.Vox().OffDelay();
    case TEdit::LocalStartDelay:
      return poller_.Other().OnDelay();
    case TEdit::LocalStopDelay:
      return poller_.Other().OffDelay();
  }
  return 0;
}

void TVoxControl::ApplyEdit(TEdit edit, const QString& text) {
  if (engine_.Inhibit())
    return;
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok)
    return;
  switch (edit) {
    case TEdit::AudioThreshold:
      upper_.SetThreshold(value);
      lower_.SetThreshold(value);
      config_.SetThresholdLevel(value);
      break;
    case TEdit::NoiseLevel:
      upper_.SetNoiseLevel(value);
      lower_.SetNoiseLevel(value);
      config_.SetNoiseLevel(value);
      UpdateThresholdLabel();
      break;
    case TEdit::XmitStartDelay:
      poller_.SetVoxOnDelay(value);
      config_.SetStartDelay(value);
      break;
    case TEdit::XmitStopDelay:
      poller_.SetVoxOffDelay(value);
      config_.SetStopDelay(value);
      break;
    case TEdit::LocalStartDelay:
      poller_.SetOtherOnDelay(value);
      config_.SetLocalStartDelay(value);
      break;
    case TEdit::LocalStopDelay:
      poller_.SetOtherOffDelay(value);
      config_.SetLocalStopDelay(value);
      break;
  }
  upper_.UpdateLevels();
  lower_.UpdateLevels();
}

void TVoxControl::ApplyLevels() {
  if (engine_.Inhibit())
    return;
  UpdateThresholdLabel();
  upper_.UpdateLevels();
  lower_.UpdateLevels();
}

void TVoxControl::UpdateThresholdLabel() {
  thresholdLabel_ = QStringLiteral("dB [0..%1]").arg(90 - upper_.Levels().NoiseLevel());
  emit ThresholdLabelChanged();
}

void TVoxControl::RequestState() {
  if (engine_.Inhibit() || asking_)
    return;
  asking_ = true;
  // The VOX trace's meter feeds the poller's VOX slot, whichever trace it is.
  const TTraceSource& vox = upper_.IsVoxTrace() ? upper_ : lower_;
  if (const std::optional<int> request = vox.VoxRequest())
    engine_.SetState(*request);
  asking_ = false;
}

void TVoxControl::PostCheckTraces(bool afterModeChange) {
  QMetaObject::invokeMethod(
      this, [this, afterModeChange] { CheckTraces(afterModeChange); }, Qt::QueuedConnection);
}

void TVoxControl::CheckTraces(bool afterModeChange) {
  if (checking_ || warningAsked_)
    return;
  checking_ = true;
  if (!upper_.HasSources())
    emit PeakMeterHelpNeeded();
  const int line0 = upper_.SelectedLine();
  const int line1 = lower_.SelectedLine();
  if (config_.VOXAutoDetect() && line0 >= 0 && line1 >= 0) {
    const TRepeaterMode mode = engine_.Mode();
    const TTraceAssignment check =
        CheckTraceAssignment(mode, upper_.SelectedLineIsOutput(), lower_.SelectedLineIsOutput(),
                             mode < kModeCount ? config_.VOXControl(mode) : 0);
    if (!check.Message.isEmpty()) {
      warningAsked_ = true;
      emit TraceWarningAsked(check.Message);
    } else if (afterModeChange && check.Swap) {
      upper_.ChooseLine(line1);
      lower_.ChooseLine(line0);
    }
  }
  checking_ = false;
}

void TVoxControl::AnswerTraceWarning(bool dontShowAgain) {
  if (!warningAsked_)
    return;
  warningAsked_ = false;
  if (dontShowAgain)
    config_.SetVOXAutoDetect(false);
}

}  // namespace tarvok
