// The VOX side of the station: the six edits of the transmit parameters (thresholds and delays),
// the request that turns the VOX trace's signal flag into a state of the repeater engine,
// and the check of the trace assignment after a mode change or a new source, which may exchange
// the two traces' lines so that the VOX trace listens to the right kind of line.
#pragma once

#include <QObject>
#include <QString>

#include "core/common/repeater_mode.h"

namespace tarvok {

class TConfig;
class TLevelPoller;
class TTraceSource;

// What the VOX needs of the repeater engine.
class TVoxEngine {
 public:
  virtual ~TVoxEngine() = default;
  // The engine is changing controls itself: the VOX request and the edits do nothing.
  virtual bool Inhibit() const = 0;
  virtual TRepeaterMode Mode() const = 0;
  // A request of the VOX trace: SetState with a sender that is not nil, so a request equal to
  // the current state is absorbed.
  virtual void SetState(int request) = 0;
};

class TVoxControl final : public QObject {
  Q_OBJECT
 public:
  enum class TEdit {
    AudioThreshold,   // "VOX/AGC Threshold:" in dB above the noise
    NoiseLevel,       // "Min Audio Level on Scope:" in dB
    XmitStartDelay,   // switch-on delay of the VOX slot, ms
    XmitStopDelay,    // switch-off delay of the VOX slot, ms
    LocalStartDelay,  // switch-on delay of the other slot, ms
    LocalStopDelay,   // switch-off delay of the other slot, ms
  };

  TVoxControl(TConfig& config, TLevelPoller& poller, TTraceSource& upper, TTraceSource& lower,
              TVoxEngine& engine, QObject* parent = nullptr);

  // The edits take digits and control keys; any other printable key is refused (with a beep).
  static bool AcceptKey(QChar key);
  // What an edit shows: the upper trace's levels and the poller's delays.
  int EditValue(TEdit edit) const;
  // An edit changed: a whole number is applied and stored at once, anything else is ignored.
  // Values are not range-checked.
  void ApplyEdit(TEdit edit, const QString& text);
  // Re-applies the levels on both traces and the threshold label; the end of start-up.
  void ApplyLevels();
  // "dB [0..35]": the room above the noise level.
  const QString& ThresholdLabel() const { return thresholdLabel_; }

  // The VOX trace's request to the engine.
  void RequestState();

  // Runs CheckTraces from the event loop.
  void PostCheckTraces(bool afterModeChange);
  // Asks for the peak-meter help when the upper trace has no lines; with VOXAutoDetect, warns
  // about an assignment that does not suit the mode and, after a mode change, exchanges the
  // lines. Checks arriving while a warning waits for its answer are dropped.
  void CheckTraces(bool afterModeChange);
  // The answer to TraceWarningAsked: with "Don't show this dialog again" ticked, VOXAutoDetect is
  // switched off.
  void AnswerTraceWarning(bool dontShowAgain);

 signals:
  void ThresholdLabelChanged();
  // The upper trace lists no lines: the peak-meter help is due.
  void PeakMeterHelpNeeded();
  // The assignment does not suit the mode; AnswerTraceWarning gives the answer, now or later.
  void TraceWarningAsked(const QString& message);

 private:
  void UpdateThresholdLabel();

  TConfig& config_;
  TLevelPoller& poller_;
  TTraceSource& upper_;
  TTraceSource& lower_;
  TVoxEngine& engine_;
  QString thresholdLabel_;
  bool asking_ = false;
  bool checking_ = false;
  bool warningAsked_ = false;
};

}  // namespace tarvok
