#include "core/station/mode_control.h"

#include "core/audio/recorder_control.h"
#include "core/audio/sound_card.h"
#include "core/config/config.h"
#include "core/station/repeater_engine.h"
#include "core/station/station_queue.h"
#include "core/station/status_display.h"
#include "core/station/transmitter.h"

namespace tarvok {

TModeControl::TModeControl(TStationState& state, TConfig& config, TTransmitter& transmitter,
                           TRecorderControl& recorder, TSoundCard& soundCard,
                           TRepeaterEngine& engine, TStatusDisplay& display, TStationQueue& queue,
                           QObject* parent)
    : QObject(parent),
      state_(state),
      config_(config),
      transmitter_(transmitter),
      recorder_(recorder),
      soundCard_(soundCard),
      engine_(engine),
      display_(display),
      queue_(queue) {}

void TModeControl::FillControls() {
  switch (config_.State()) {
    case csVox:
      buttons_.Check(TStateButton::RepeaterVox);
      break;
    case csForcedOn:
    case 3:
      buttons_.Check(TStateButton::RepeaterForceXmit);
      break;
    default:
      buttons_.Check(TStateButton::RepeaterForceRecv);
      break;
  }
  emit ControlsChanged();
}

void TModeControl::ClickStateButton(TStateButton button) {
  if (buttons_.Check(button)) {
    ChangeState(button);
    emit ControlsChanged();
  }
}

void TModeControl::ChangeState(TStateButton button) {
  if (state_.Inhibit)
    return;
  const TStateButtonInfo& info = StateButtonInfo(button);
  config_.SetState(info.State);
  engine_.SetState(TSender::Station, info.Request);
  queue_.PostShowState();
}

void TModeControl::ChangeMode(TRepeaterMode item) {
  const bool fromMenu = item != rmNone;
  if (fromMenu && state_.SchedulerOn)
    ToggleScheduler();
  display_.ClearError();
  switch (fromMenu ? item : state_.Mode) {
    case rmInternetRepeater:
      EnterInternetRepeater();
      break;
    case rmSimplexRepeater:
      EnterSimplexRepeater();
      break;
    case rmBeaconStation:
      EnterBeaconStation();
      break;
    default:
      if (!fromMenu)
        pages_.ControlPage = TControlPage::Scheduler;
      break;
  }
  ShowBeaconPage();
  state_.PreviousMode = state_.Mode;
  display_.UpdateCaptions();
  if (!state_.Closing)
    emit ModeChanged();
  queue_.PostCheckTraces();
  queue_.PostShowState();
  emit ControlsChanged();
}

void TModeControl::EnterInternetRepeater() {
  soundCard_.StopCapture();
  recorder_.SetListenAfterPlay(false);
  checkedModeItem_ = rmInternetRepeater;
  state_.Mode = rmInternetRepeater;
  recorder_.StopRecord();
  recorderMenuEnabled_ = true;
  CarryVoxSelection();
  pages_.ControlPage = TControlPage::Repeater;
}

void TModeControl::EnterSimplexRepeater() {
  soundCard_.StopCapture();
  recorder_.SetListenAfterPlay(true);
  checkedModeItem_ = rmSimplexRepeater;
  state_.Mode = rmSimplexRepeater;
  // With nothing recorded this starts listening, which arrives as a request to listen.
  engine_.StartEvent(aeLastRecording);
  recorderMenuEnabled_ = false;
  CarryVoxSelection();
  pages_.ControlPage = TControlPage::Simplex;
  engine_.StartTimers();
}

void TModeControl::EnterBeaconStation() {
  recorder_.StopRecord();
  if (!soundCard_.StartCapture())
    engine_.SetRetry(true);
  recorder_.SetListenAfterPlay(false);
  checkedModeItem_ = rmBeaconStation;
  state_.Mode = rmBeaconStation;
  recorder_.StopRecord();
  config_.Beacons().ClearAllPending();
  recorderMenuEnabled_ = false;
  CarryVoxSelection();
  pages_.ControlPage = TControlPage::Beacon;
}

// VOX stays enabled across a mode change when the previous mode's "Enable VOX" was checked;
// otherwise the new mode starts with its passive button. Its click runs even when the button was
// checked already: the engine still holds the previous mode's state, which may have the
// transmitter keyed.
void TModeControl::CarryVoxSelection() {
  const auto previousVox = VoxButtonOf(state_.PreviousMode);
  const bool voxEnabled = previousVox && buttons_.IsChecked(*previousVox);
  const auto button = voxEnabled ? VoxButtonOf(state_.Mode) : PassiveButtonOf(state_.Mode);
  if (!button)
    return;
  buttons_.Check(*button);
  ChangeState(*button);
}

void TModeControl::ShowBeaconPage() {
  if (state_.Mode != rmBeaconStation) {
    pages_.BeaconTabVisible = false;
    if (pages_.ActivePage == TGeneralPage::Beacon)
      pages_.ActivePage = TGeneralPage::General;
    return;
  }
  pages_.BeaconTabVisible = true;
  if (pages_.ActivePage != TGeneralPage::Dtmf && pages_.ActivePage != TGeneralPage::Scheduler &&
      pages_.ParamsTab <= 1) {
    pages_.ActivePage = TGeneralPage::Beacon;
    emit BeaconListShown();
  }
}

void TModeControl::ToggleScheduler() {
  if (state_.Inhibit)
    return;
  recorder_.StopRecord();
  recorder_.StopPlay();
  soundCard_.StopCapture();
  recorder_.SetListenAfterPlay(false);
  config_.Schedules().ResetAll();
  if (state_.SchedulerOn) {
    pages_.ActivePage = TGeneralPage::General;
    pages_.SchedulerTabVisible = false;
    state_.SchedulerOn = false;
    ChangeMode(rmInternetRepeater);
    return;
  }
  // No request is served while the scheduler waits, so the transmitter must not stay keyed.
  transmitter_.Key(false);
  state_.Mode = rmNone;
  state_.SchedulerOn = true;
  pages_.SchedulerTabVisible = true;
  pages_.ActivePage = TGeneralPage::Scheduler;
  recorderMenuEnabled_ = false;
  checkedModeItem_ = rmNone;
  pages_.ControlPage = TControlPage::Scheduler;
  display_.UpdateCaptions();
  emit ModeChanged();
  emit ControlsChanged();
}

void TModeControl::SwitchScheduledMode(TRepeaterMode mode) {
  transmitter_.Key(false);
  soundCard_.StopCapture();
  recorder_.StopRecord();
  recorder_.StopPlay();
  state_.Mode = mode;
  ChangeMode(rmNone);
  // Scheduled modes always run with VOX enabled.
  if (const auto vox = VoxButtonOf(mode); vox && buttons_.Check(*vox)) {
    ChangeState(*vox);
    emit ControlsChanged();
  }
  queue_.PostShowState();
  emit ScheduledModeSwitched(mode);
}

void TModeControl::RestartMode() {
  if (state_.Closing || restarting_)
    return;
  restarting_ = true;
  if (state_.RetryPending)
    engine_.SetRetry(false);
  // Passing through another mode does everything that entering the mode does afresh; the
  // return runs after what that mode change queued.
  const TRepeaterMode mode = state_.Mode;
  if (!IsOperatingMode(mode)) {
    restarting_ = false;
    return;
  }
  state_.Mode = mode == rmInternetRepeater ? rmBeaconStation : rmInternetRepeater;
  ChangeMode(rmNone);
  queue_.Post([this, mode] {
    if (!state_.Closing) {
      state_.Mode = mode;
      ChangeMode(rmNone);
    }
    restarting_ = false;
  });
}

void TModeControl::RestoreMode() {
  if (config_.DefaultState() == 1)
    ToggleScheduler();
  else if (IsOperatingMode(config_.DefaultMode()))
    ChangeMode(static_cast<TRepeaterMode>(config_.DefaultMode()));
}

void TModeControl::ShowListeningControls() {
  using enum TStateButton;
  if (state_.Mode == rmSimplexRepeater && state_.ModeState == msListen &&
      !buttons_.IsChecked(SimplexVox) &&
      (buttons_.IsChecked(SimplexForceRecord) || buttons_.IsChecked(SimplexForceXmit)) &&
      buttons_.Check(SimplexListen))
    emit ControlsChanged();
}

}  // namespace tarvok
