#include "core/station/remote_control.h"

#include <optional>

#include "core/config/config.h"
#include "core/config/remote_data.h"
#include "core/station/mode_control.h"
#include "core/station/station_queue.h"
#include "core/station/station_state.h"
#include "core/station/transmitter.h"

namespace tarvok {

namespace {

constexpr int kSchedulerCommand = 4;

// The button that "state" names in a mode; "Force RECORD" cannot be selected remotely.
std::optional<TStateButton> RemoteButton(TRepeaterMode mode, int state) {
  using enum TStateButton;
  if (state < 1 || state > 3)
    return std::nullopt;
  switch (mode * 10 + state) {
    case 11:
      return RepeaterVox;
    case 12:
      return RepeaterForceXmit;
    case 13:
      return RepeaterForceRecv;
    case 21:
      return SimplexVox;
    case 22:
      return SimplexForceXmit;
    case 23:
      return SimplexListen;
    case 31:
      return BeaconVox;
    case 33:
      return BeaconListen;
    default:
      return std::nullopt;
  }
}

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
    if (const auto button = RemoteButton(state_.Mode, state))
      modeControl_.ClickStateButton(*button);
    return;
  }
  modeControl_.ChangeMode(static_cast<TRepeaterMode>(mode));
}

}  // namespace tarvok
