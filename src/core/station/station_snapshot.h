// What a view shows of the station at one moment, as one value: read from the door at any time,
// compared to tell a change, and serialised by a remote view. Levels are not in it (they change
// at every refresh and are read when asked), nor are DTMF keys (they may carry a PIN).
#pragma once

#include <QDateTime>
#include <QString>
#include <array>

#include "core/common/repeater_mode.h"
#include "core/station/state_indicator.h"
#include "core/station/station_state.h"

namespace tarvok {

// The next run of a beacon (its name) or of a schedule event (its mode's text); Time is invalid
// when nothing is due.
struct TNextRun {
  QString Name;
  QDateTime Time;

  friend bool operator==(const TNextRun&, const TNextRun&) = default;
};

struct TStationSnapshot {
  // The mode in force; rmNone while the scheduler waits for an event.
  TRepeaterMode Mode = rmInternetRepeater;
  bool SchedulerOn = false;
  TModeState ModeState = msDefault;
  // The state button the station acts on: the operator's, or the one a dialog forces for a while.
  TControlState Control = csVox;
  QString Caption;
  TIndicator Indicator;
  bool Keyed = false;
  QDateTime KeyedSince;  // invalid while released
  bool Capturing = false;
  // The capture was started by the Recorder menu (not kept by the station for itself).
  bool RecorderCapture = false;
  // A window's dialog holds the station: other views may not change it meanwhile.
  bool HeldByDialog = false;
  QString Error;
  QString Date;
  QString Time;
  TNextRun NextBeacon;
  TNextRun NextEvent;

  friend bool operator==(const TStationSnapshot&, const TStationSnapshot&) = default;
};

// One trace's level against its threshold, in the peak meter's raw units (0 to Maximum).
struct TTraceReading {
  int Level = 0;
  int Threshold = 0;
  int Maximum = 0;
  bool Signal = false;
  bool Vox = false;  // the trace the mode's VOX listens to

  friend bool operator==(const TTraceReading&, const TTraceReading&) = default;
};

// The upper and the lower trace.
using TLevelReadings = std::array<TTraceReading, 2>;

}  // namespace tarvok
