#include "core/station/remote_control.h"

#include "core/config/config.h"
#include "core/config/remote_data.h"
#include "core/station/mode_control.h"
#include "core/station/station_queue.h"
#include "core/station/station_state.h"
#include "core/station/transmitter.h"

namespace tarvok {

namespace {

constexpr int kSchedulerCommand = 4;

}  // namespace

TRemoteControl::TRemoteControl(const TStationState& state, TConfig& config,
                               const TTransmitter& transmitter, TModeControl& modeControl,
                               TStationQueue& queue)
    : state_(state),
      config_(config),
      transmitter_(transmitter),
      modeControl_(modeControl),
      queue_(queue) {}

void TRemoteControl::PollStatus() {
  TRemoteData* remote = config_.RemoteData();
  if (!remote)
    return;
  remote->Status = {state_.Mode, static_cast<std::uint8_t>(state_.SchedulerOn ? 1 : 0),
                    state_.ModeState, static_cast<std::uint8_t>(transmitter_.Keyed() ? 1 : 0)};
  if (remote->StatusChanged() || remote->StatusMissing())
    remote->WriteStatus();
  if (remote->CommandExists())
    queue_.PostTask(TTaskCode::RemoteCommand);
}

void TRemoteControl::ReadCommand() {
  TRemoteData* remote = config_.RemoteData();
  if (remote && remote->ReadCommand() == 1) {
    ApplyCommand(remote->GetIntValue(QStringLiteral("mode")),
                 remote->GetIntValue(QStringLiteral("state")));
  }
}

void TRemoteControl::ApplyCommand(int mode, int state) {
  if (mode == 0 || state == 0)
    return;
  if (mode == kSchedulerCommand) {
    if (!state_.SchedulerOn)
      modeControl_.ToggleScheduler();
    return;
  }
  if (!IsOperatingMode(mode))
    return;
  if (!state_.SchedulerOn && mode == state_.Mode) {
    if (const auto button = RemoteStateButton(state_.Mode, state))
      modeControl_.ClickStateButton(*button);
    return;
  }
  modeControl_.ChangeMode(static_cast<TRepeaterMode>(mode));
}

}  // namespace tarvok
