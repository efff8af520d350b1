// The mode changes: the state buttons of the control pages, the mode menu with the carry-over of
// the VOX selection, the mode scheduler's switch, the switch ordered by a schedule event and the
// restart of a mode after a failed playback. The buttons, menu items and pages are state that a
// window mirrors; it reports clicks through ClickStateButton, ChangeMode and ToggleScheduler.
#pragma once

#include <QObject>

#include "core/station/state_buttons.h"
#include "core/station/station_state.h"

namespace tarvok {

class TConfig;
class TRecorderControl;
class TRepeaterEngine;
class TSoundCard;
class TStationQueue;
class TStatusDisplay;
class TTransmitter;

// The tabs beside the control pages.
enum class TGeneralPage { General, Beacon, Dtmf, Scheduler };

struct TStationPages {
  TControlPage ControlPage = TControlPage::Repeater;
  TGeneralPage ActivePage = TGeneralPage::General;
  bool BeaconTabVisible = false;
  bool SchedulerTabVisible = false;
  int ParamsTab = 0;  // "Transmit", "Com Port", "Upper Trace", "Lower Trace"
};

class TModeControl final : public QObject {
  Q_OBJECT
 public:
  TModeControl(TStationState& state, TConfig& config, TTransmitter& transmitter,
               TRecorderControl& recorder, TSoundCard& soundCard, TRepeaterEngine& engine,
               TStatusDisplay& display, TStationQueue& queue, QObject* parent = nullptr);

  const TStateButtons& Buttons() const { return buttons_; }
  // The mode menu item that is checked; rmNone while the scheduler is on.
  TRepeaterMode CheckedModeItem() const { return checkedModeItem_; }
  bool SchedulerChecked() const { return state_.SchedulerOn; }
  bool RecorderMenuEnabled() const { return recorderMenuEnabled_; }
  const TStationPages& Pages() const { return pages_; }
  void SetActivePage(TGeneralPage page) { pages_.ActivePage = page; }
  void SetParamsTab(int tab) { pages_.ParamsTab = tab; }

  // Checks the Repeater page's button that the control setting State names, without a click.
  void FillControls();
  // Checks a state button as a click of the user does: ChangeState runs when it was unchecked.
  void ClickStateButton(TStateButton button);
  void ChangeState(TStateButton button);
  // A mode menu item; rmNone re-enters the mode held in Mode.
  void ChangeMode(TRepeaterMode item);
  void ToggleScheduler();
  void SwitchScheduledMode(TRepeaterMode mode);
  void RestartMode();
  // Enters the mode, or switches the scheduler on, as the last run left it.
  void RestoreMode();
  // A Simplex Repeater station that listens under a forced control shows "Force LISTEN".
  void ShowListeningControls();

 signals:
  void ControlsChanged();
  // The station entered a mode, or the scheduler was switched on and holds none yet.
  void ModeChanged();
  // The beacon page became the active page; its list is refreshed.
  void BeaconListShown();
  // The scheduler switched to the mode of an event, or to none while it waits.
  void ScheduledModeSwitched(TRepeaterMode mode);

 private:
  void EnterInternetRepeater();
  void EnterSimplexRepeater();
  void EnterBeaconStation();
  void CarryVoxSelection();
  void ShowBeaconPage();

  TStationState& state_;
  TConfig& config_;
  TTransmitter& transmitter_;
  TRecorderControl& recorder_;
  TSoundCard& soundCard_;
  TRepeaterEngine& engine_;
  TStatusDisplay& display_;
  TStationQueue& queue_;

  TStateButtons buttons_;
  TRepeaterMode checkedModeItem_ = rmInternetRepeater;
  bool recorderMenuEnabled_ = true;
  TStationPages pages_;
  bool restarting_ = false;
};

}  // namespace tarvok
