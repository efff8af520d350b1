// What a modal dialog does to the station while it is open: the transmitter is held off, with the
// forced receive held in memory only (the engine, the VOX, the state buttons and the snapshot act
// on it; the settings file keeps the operator's state, so a station that dies meanwhile starts
// again as it was), and a laptop station leaves Simplex Repeater or Beacon Station mode. At the
// end the mode and the state before the dialog come back, after the end of a playback the
// dialog's previews may have stopped.
#pragma once

#include <QObject>
#include <optional>

#include "core/station/station_state.h"

namespace tarvok {

class TConfig;
class TRecordThread;
class TStation;

class TDialogSuspension final : public QObject {
  Q_OBJECT
 public:
  TDialogSuspension(TConfig& config, TStation& station, TRecordThread& recordThread,
                    QObject* parent = nullptr);

  void Begin();
  void End();
  // Between Begin and End.
  bool Holding() const { return holding_; }
  // The mode a laptop station left for the dialog, while it is away from it.
  std::optional<TRepeaterMode> ModeLeft() const;

 private:
  void Finish();
  bool LeavesMode() const;

  TConfig& config_;
  TStation& station_;
  TRecordThread& recordThread_;
  TRepeaterMode mode_ = rmInternetRepeater;
  bool laptop_ = false;
  bool away_ = false;
  int control_ = csVox;
  TModeState state_ = msDefault;
  bool finishing_ = false;
  bool holding_ = false;
};

}  // namespace tarvok
