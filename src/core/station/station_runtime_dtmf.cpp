// Commands over the air: each one goes through the door's own operations, as the remote command
// file's do, is logged once without the PIN, and is answered in CW once the air is clear.
#include <QFile>
#include <QFileInfo>
#include <optional>
#include <utility>

#include "core/audio/level_poller.h"
#include "core/audio/record_thread.h"
#include "core/common/clock.h"
#include "core/common/repeater_mode.h"
#include "core/config/audio_events.h"
#include "core/config/config.h"
#include "core/station/air_messages.h"
#include "core/station/dialog_suspension.h"
#include "core/station/dtmf_control.h"
#include "core/station/state_buttons.h"
#include "core/station/station.h"
#include "core/station/station_runtime.h"
#include "core/station/transmitter.h"

namespace tarvok {

namespace {

QString CommandText(const TDtmfCommand& command) {
  switch (command.Code) {
    case TDtmfCommandCode::Mode:
      return QStringLiteral("mode %1").arg(RepeaterModeText(command.Argument));
    case TDtmfCommandCode::State:
      return QStringLiteral("state %1").arg(command.Argument);
    case TDtmfCommandCode::SchedulerOff:
      return QStringLiteral("scheduler off");
    case TDtmfCommandCode::SchedulerOn:
      return QStringLiteral("scheduler on");
    case TDtmfCommandCode::Identify:
      return QStringLiteral("identification");
    case TDtmfCommandCode::Status:
      return QStringLiteral("status");
  }
  return {};
}

}  // namespace

void TStationRuntime::ConnectDtmfControl() {
  if (dtmfControl_->Enabled())
    station_->Engine().SetRecordingCheck(
        [this] { return std::exchange(recordingWithheld_, false); });
  connect(dtmfControl_.get(), &TDtmfControl::LogLine, this, &TStationRuntime::DtmfControlLine);
  // Decoding may run inside a transition (a recording's end): commands wait for the next turn.
  connect(dtmfControl_.get(), &TDtmfControl::CommandReceived, this,
          [this](const TDtmfCommand& command) {
            QMetaObject::invokeMethod(
                this, [this, command] { RunDtmfCommand(command); }, Qt::QueuedConnection);
          });
  connect(
      dtmfControl_.get(), &TDtmfControl::EntryRefused, this,
      [this] { airMessages_->Send({}, QStringLiteral("NO")); }, Qt::QueuedConnection);
  connect(airMessages_.get(), &TAirMessages::Dropped, this, [this](const QString& cw) {
    emit DtmfControlLine(QStringLiteral("DTMF answer not sent, the air was not clear: %1")
                             .arg(cw.isEmpty() ? QStringLiteral("identification") : cw));
  });
}

void TStationRuntime::RunDtmfCommand(const TDtmfCommand& command) {
  const QString text = CommandText(command);
  if (closed_ || dialog_->Holding()) {
    emit DtmfControlLine(
        QStringLiteral("DTMF command refused while a dialog is open: %1").arg(text));
    airMessages_->Send({}, QStringLiteral("NO"));
    return;
  }
  const bool done = DoDtmfCommand(command);
  emit DtmfControlLine(done ? QStringLiteral("DTMF command: %1").arg(text)
                            : QStringLiteral("DTMF command refused: %1").arg(text));
  // The identification and the status report are answers of their own.
  const bool answered = done && (command.Code == TDtmfCommandCode::Identify ||
                                 command.Code == TDtmfCommandCode::Status);
  if (!answered)
    airMessages_->Send({}, done ? QStringLiteral("OK") : QStringLiteral("NO"));
}

bool TStationRuntime::DoDtmfCommand(const TDtmfCommand& command) {
  const TStationState& state = State();
  switch (command.Code) {
    case TDtmfCommandCode::Mode:
      ChangeMode(static_cast<TRepeaterMode>(command.Argument));
      return true;
    case TDtmfCommandCode::State: {
      // As the remote command file: only in the mode in force, with the scheduler off, and a
      // button already chosen is no change.
      const std::optional<TStateButton> button =
          state.SchedulerOn ? std::nullopt : RemoteStateButton(state.Mode, command.Argument);
      if (!button || Modes().Buttons().IsChecked(*button))
        return false;
      ClickStateButton(*button);
      return true;
    }
    case TDtmfCommandCode::SchedulerOff:
    case TDtmfCommandCode::SchedulerOn:
      if (state.SchedulerOn == (command.Code == TDtmfCommandCode::SchedulerOn))
        return false;
      ToggleScheduler();
      return true;
    case TDtmfCommandCode::Identify: {
      if (state.Mode == rmSimplexRepeater) {
        // The repeater's own identification, due at the next free moment.
        station_->Engine().IdentTimerTick();
        return state.IdentPending;
      }
      const QString file = config_.WAVFile(aeRepeaterId);
      const QString cw = config_.CWString(aeRepeaterId);
      if (file.isEmpty() && cw.isEmpty())
        return false;
      airMessages_->Send(file, cw);
      return true;
    }
    case TDtmfCommandCode::Status:
      airMessages_->Send({}, StatusReport());
      return true;
  }
  return false;
}

QString TStationRuntime::StatusReport() const {
  const TStationState& state = State();
  QChar letter = QLatin1Char('W');
  switch (state.Mode) {
    case rmInternetRepeater:
      letter = QLatin1Char('I');
      break;
    case rmSimplexRepeater:
      letter = QLatin1Char('S');
      break;
    case rmBeaconStation:
      letter = QLatin1Char('B');
      break;
    default:
      break;
  }
  return letter + QLatin1Char(' ') + clock_.Now().toString(QStringLiteral("HHmm"));
}

bool TStationRuntime::WithholdRecording() {
  if (!dtmfControl_->Enabled() || !simplexRecording_)
    return false;
  dtmfControl_->DecodeQueued();
  if (!dtmfControl_->TakePinHeard())
    return false;
  const QString file = LastRecording();
  QFile::remove(file);
  recordingWithheld_ = true;
  emit DtmfControlLine(QStringLiteral("Recording withheld, it carried a DTMF command: %1")
                           .arg(QFileInfo(file).fileName()));
  return true;
}

bool TStationRuntime::AirIsClear() const {
  if (closed_ || config_.State() != csVox || transmitter_.Keyed() || transmitter_.LockedOut() ||
      dialog_->Holding() || preview_->Playing() || fileRecording_ ||
      recordThread_->State() == TRecorderControl::TState::Playing || poller_->VoxPresent() ||
      poller_->OtherPresent())
    return false;
  const TStationState& state = State();
  switch (state.Mode) {
    case rmSimplexRepeater:
      return state.ModeState == msListen;
    case rmInternetRepeater:
    case rmBeaconStation:
      return state.ModeState == msNoSignal || state.ModeState == msForcedOff;
    default:
      return true;
  }
}

}  // namespace tarvok
