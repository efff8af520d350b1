// The state that the parts of the station engine share: the operating mode, the mode state within
// it, the scheduler switch, the messages waiting to be sent and the retry of a failed playback.
// Everything here lives on the main thread.
#pragma once

#include <cstdint>

#include "core/common/repeater_mode.h"

namespace tarvok {

// Mode states; the same numbers serve as requests to SetState, where msDefault asks for the
// state that the control setting State chooses.
enum TModeState : std::uint8_t {
  msDefault = 0,
  msForcedOn = 1,
  msForcedOff = 2,
  msSignal = 3,  // VOX on
  msNoSignal = 4,
  msListen = 5,
  msCourtesy = 6,
  msIdent = 7,
  msQST = 8,
  msTimeout = 9,
  msCWTone = 10,
  msBeaconWave = 11,
  msBeaconCW = 12,
};

// Who asks for a transition. Only the difference between nobody and somebody counts: a repeated
// request from somebody (a control, the VOX, the recorder) is absorbed, one from nobody is not.
enum class TSender { Nobody, Station, Trace, Recorder };

// The control setting State: how the station's transmitter and recorder are controlled.
enum TControlState : int { csVox = 0, csForcedOn = 1, csForcedOff = 2 };

struct TStationState {
  static constexpr int kNoCountdown = -10;

  TRepeaterMode Mode = rmInternetRepeater;
  TRepeaterMode PreviousMode = rmInternetRepeater;  // carries the VOX selection to the next mode
  TModeState ModeState = msDefault;
  // The beacon whose playback the engine is starting, an index into the beacon list; -1 at any
  // other time.
  int BeaconIndex = -1;
  bool SchedulerOn = false;
  // Set while the station changes its own controls, so that they do not act as user clicks.
  bool Inhibit = false;
  // Set when the station shuts down; events arriving afterwards are not acted on.
  bool Closing = false;

  // Simplex Repeater messages waiting to be sent after the current playback.
  bool IdentPending = false;
  bool QSTPending = false;
  bool TimeoutPending = false;
  bool CWIdentPending = false;

  // A playback could not start although its source exists: the mode restarts when the
  // countdown (seconds) falls below zero.
  bool RetryPending = false;
  int RetryCountdown = kNoCountdown;
};

}  // namespace tarvok
