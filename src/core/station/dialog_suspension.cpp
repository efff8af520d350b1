#include "core/station/dialog_suspension.h"

#include "core/audio/record_thread.h"
#include "core/config/config.h"
#include "core/station/station.h"

namespace tarvok {

TDialogSuspension::TDialogSuspension(TConfig& config, TStation& station,
                                     TRecordThread& recordThread, QObject* parent)
    : QObject(parent), config_(config), station_(station), recordThread_(recordThread) {}

bool TDialogSuspension::LeavesMode() const {
  return laptop_ && (mode_ == rmSimplexRepeater || mode_ == rmBeaconStation);
}

void TDialogSuspension::Begin() {
  // A dialog opened before the last one's end ran keeps the state saved before that one.
  const bool finishing = std::exchange(finishing_, false);
  holding_ = true;
  const TStationState& state = station_.State();
  mode_ = state.Mode;
  laptop_ = config_.IsLaptop();
  if (LeavesMode()) {
    away_ = true;
    station_.Modes().ChangeMode(rmInternetRepeater);
  }
  if (!finishing) {
    control_ = config_.State();
    state_ = state.ModeState;
  }
  config_.HoldState(csForcedOff);
  station_.Modes().FillControls();
}

void TDialogSuspension::End() {
  holding_ = false;
  finishing_ = true;
  if (LeavesMode()) {
    away_ = false;
    station_.Modes().ChangeMode(mode_);
  }
  if (recordThread_.State() != TRecorderControl::TState::Playing) {
    Finish();
    return;
  }
  // The end of the stopped playback reaches the engine first, before the state returns.
  recordThread_.StopPlay();
  QMetaObject::invokeMethod(this, &TDialogSuspension::Finish, Qt::QueuedConnection);
}

void TDialogSuspension::Finish() {
  if (station_.State().Closing || !std::exchange(finishing_, false))
    return;
  config_.ReleaseState();
  // A laptop's return to its mode re-applies the held state to the buttons; the operator's
  // state comes back.
  config_.SetState(control_);
  station_.Modes().FillControls();
  station_.Engine().SetState(TSender::Station,
                             state_ >= msForcedOn && state_ <= msListen ? state_ : msDefault);
}

std::optional<TRepeaterMode> TDialogSuspension::ModeLeft() const {
  return away_ ? std::optional(mode_) : std::nullopt;
}

}  // namespace tarvok
