// Commands over the air: each one goes through the door's own operations, as the remote command
// file's do, and is logged once without the PIN.
#include <optional>

#include "core/common/repeater_mode.h"
#include "core/station/dialog_suspension.h"
#include "core/station/dtmf_control.h"
#include "core/station/state_buttons.h"
#include "core/station/station.h"
#include "core/station/station_runtime.h"

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
  connect(dtmfControl_.get(), &TDtmfControl::LogLine, this, &TStationRuntime::DtmfControlLine);
  connect(dtmfControl_.get(), &TDtmfControl::CommandReceived, this,
          &TStationRuntime::RunDtmfCommand);
}

void TStationRuntime::RunDtmfCommand(const TDtmfCommand& command) {
  const QString text = CommandText(command);
  if (closed_ || dialog_->Holding()) {
    emit DtmfControlLine(
        QStringLiteral("DTMF command refused while a dialog is open: %1").arg(text));
    return;
  }
  const TStationState& state = State();
  bool done = true;
  switch (command.Code) {
    case TDtmfCommandCode::Mode:
      ChangeMode(static_cast<TRepeaterMode>(command.Argument));
      break;
    case TDtmfCommandCode::State: {
      // As the remote command file: only in the mode in force, with the scheduler off, and a
      // button already chosen is no change.
      const std::optional<TStateButton> button =
          state.SchedulerOn ? std::nullopt : RemoteStateButton(state.Mode, command.Argument);
      done = button && !Modes().Buttons().IsChecked(*button);
      if (done)
        ClickStateButton(*button);
      break;
    }
    case TDtmfCommandCode::SchedulerOff:
    case TDtmfCommandCode::SchedulerOn:
      done = state.SchedulerOn != (command.Code == TDtmfCommandCode::SchedulerOn);
      if (done)
        ToggleScheduler();
      break;
    case TDtmfCommandCode::Identify:
      // The repeater's own identification, due at the next free moment.
      done = state.Mode == rmSimplexRepeater;
      if (done)
        station_->Engine().IdentTimerTick();
      break;
    case TDtmfCommandCode::Status:
      done = false;
      break;
  }
  emit DtmfControlLine(done ? QStringLiteral("DTMF command: %1").arg(text)
                            : QStringLiteral("DTMF command refused: %1").arg(text));
}

}  // namespace tarvok
