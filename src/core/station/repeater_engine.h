// The repeater engine: turns requests (from the VOX, the state buttons, the recorder, the timers
// and the clock) into transitions of the mode state, keying the transmitter and starting and
// stopping recordings and playbacks on the way. Each operating mode has its own transition:
//
// - Internet Repeater: the transmitter follows the VOX; a courtesy tone ends a transmission.
// - Simplex Repeater: a transmission is recorded and played back, followed by a pending time-out,
//   QST or identification message, else the courtesy tone, then the station listens again.
// - Beacon Station: pending beacons are sent one after the other while the channel is free.
//
// Everything runs on the main thread; the recorder hands its events there.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <mutex>

#include "core/station/station_state.h"

namespace tarvok {

class TConfig;
class TRecorderControl;
class TSoundCard;
class TLevelPoller;
class TStationQueue;
class TTransmitter;

class TRepeaterEngine final : public QObject {
  Q_OBJECT
 public:
  TRepeaterEngine(TStationState& state, TConfig& config, TTransmitter& transmitter,
                  TRecorderControl& recorder, TSoundCard& soundCard, TLevelPoller& poller,
                  TStationQueue& queue);
  TRepeaterEngine(const TRepeaterEngine&) = delete;
  TRepeaterEngine& operator=(const TRepeaterEngine&) = delete;

  // The single entry of transitions. A request outside 0..12 counts as msForcedOff; beaconIndex
  // is the beacon's position in the list for msBeaconWave and msBeaconCW.
  void SetState(TSender sender, int request, int beaconIndex = 0);
  // Plays an audio-event slot; when that fails although the source exists, the mode is
  // restarted a few seconds later.
  bool StartEvent(int event);
  void SetRetry(bool on);
  // The end of a playback, or, from nobody, the news that the audio path is free.
  void PlaybackFinished(TSender sender);
  // Requests the message of slot 1 to 4 when a WAV file is configured for it; true then,
  // whether or not it could start.
  bool RequestAudioEvent(TSender sender, int slot);

  // What the recorder reports.
  void RecordStarted(bool saveToFile);
  void PlayStarted();
  // A playback that was not the station's own (the CW test) ended: a message or beacon that
  // waited for the audio path goes out, and a transmission the watchdog cut meanwhile ends.
  void GuestPlaybackFinished();
  // The transmitter's watchdog cut the transmission: it ends without a courtesy tone or message,
  // and requests for the state that keyed it are dropped until another one comes.
  void TransmitterTimedOut();

  // Asked before a Simplex recording is repeated, once it has stopped: true when it is to go
  // neither on the air nor into the log (it carried a command's PIN).
  void SetRecordingCheck(std::function<bool()> withheld) {
    recordingWithheld_ = std::move(withheld);
  }

  // The identification and QST timers, with the intervals of their audio events.
  void IdentTimerTick();
  void QstTimerTick();
  void SetTimerIntervals();
  void StartTimers();
  void StopTimers();
  bool IdentTimerActive() const { return identTimer_.isActive(); }
  bool QstTimerActive() const { return qstTimer_.isActive(); }

 signals:
  // The mode state changed, inside the transition that changed it.
  void ModeStateChanged(TModeState modeState);

 private:
  void Enter(TModeState modeState);
  void InternetTransition(int target);
  void SimplexTransition(int target);
  void BeaconTransition(int target, int beaconIndex);
  bool StartSimplexAudio(int target);
  bool RecordingWithheld();
  void StopSimplexAudio();
  void StartBeacon(int target, int beaconIndex);
  void SimplexAfterPlayback(TSender sender);
  void BeaconAfterPlayback(TSender sender);
  void MessageTimerTick(bool& pending);
  // A message or beacon is due and the audio path is free for it.
  bool AudioAwaited() const;
  void ResumeLaptopCapture();
  bool Playing() const;
  bool Recording() const;

  TStationState& state_;
  TConfig& config_;
  TTransmitter& transmitter_;
  TRecorderControl& recorder_;
  TSoundCard& soundCard_;
  TLevelPoller& poller_;
  TStationQueue& queue_;

  // Serialises transitions; re-entrant because a transition may raise a request of its own.
  std::recursive_mutex stateLock_;
  bool playbackFinishing_ = false;
  bool cutShort_ = false;  // the playback that ends was cut by the watchdog
  TModeState lockoutCause_ = msDefault;
  std::function<bool()> recordingWithheld_;
  QTimer identTimer_;
  QTimer qstTimer_;
};

}  // namespace tarvok
