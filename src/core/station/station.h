// The station: the repeater engine with its mode changes, state indicator, clock tasks, remote
// control and status texts, run on the main thread's event loop. It owns the station's state; a
// window or the headless service shows it and calls its operations, and nothing else changes it.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

#include "core/audio/recorder_control.h"
#include "core/station/clock_tasks.h"
#include "core/station/mode_control.h"
#include "core/station/remote_control.h"
#include "core/station/repeater_engine.h"
#include "core/station/state_indicator.h"
#include "core/station/station_queue.h"
#include "core/station/station_state.h"
#include "core/station/status_display.h"

namespace tarvok {

class TClock;
class TConfig;
class TSoundCard;
class TLevelPoller;
class TTransmitter;

class TStation final : public QObject, private TStationQueue, private TRecorderEvents {
  Q_OBJECT
 public:
  // The recorder's events are taken from construction on; they must arrive on this thread.
  TStation(TConfig& config, const TClock& clock, TTransmitter& transmitter,
           TRecorderControl& recorder, TSoundCard& soundCard, TLevelPoller& poller,
           QObject* parent = nullptr);
  ~TStation() override;
  TStation(const TStation&) = delete;
  TStation& operator=(const TStation&) = delete;

  // Puts the station into its first state, hands the remote-control files to the
  // configuration, starts the timers, runs the clock tick once and, with SaveMode set, queues
  // the return to the mode of the last run.
  void Start();
  // Stops the timers, saves the mode and the scheduler switch and leaves the recorder idle.
  // Events arriving afterwards are not acted on.
  void Close();
  // Hands the configuration remote-control files in the folder of RemotePath, unless the files
  // there are in use already.
  void FollowRemotePath();

  const TStationState& State() const { return state_; }
  TRepeaterEngine& Engine() { return engine_; }
  TModeControl& Modes() { return modeControl_; }
  TClockTasks& ClockTasks() { return clockTasks_; }
  TStatusDisplay& Display() { return display_; }
  TRemoteControl& Remote() { return remote_; }

  const TIndicator& Indicator() const { return indicator_; }
  void ShowIndicator();

  // The CW test, played as audio event 6 beside the station's own work: "" when it may play
  // now, else the message for the user (the station plays, or records a transmission). A test
  // still playing does not count: the next one stops it.
  QString CWTestRefusal() const;
  // Plays the text as the CW test: the characters after a leading "#" as an element string,
  // any other text in Morse; an empty text does nothing. Listening pauses until the test ends,
  // and the engine takes neither its start nor its end for its own. "" or the message.
  QString PlayCWTest(const QString& text);
  void StopCWTest();

 signals:
  void IndicatorChanged();
  // The traces check their sources against the new mode.
  void CheckTracesRequested();
  // A recording to a file started (true) or a recording stopped (false).
  void RecordingMarked(bool recording);
  // A beacon's playback began.
  void BeaconStarted(const QString& name);
  void PlaybackStarted();
  void PlaybackFinished();
  // The recorder started or stopped recording or playing, and the engine has followed it.
  void AudioChanged();
  // A CW test ended and no other plays.
  void CWTestFinished();

 private:
  void RunTask(TTaskCode code);

  void Post(std::function<void()> work) override;
  void PostShowState() override;
  void PostAudioIdle() override;
  void PostCheckTraces() override;
  void PostTask(TTaskCode code) override;
  void PostCleanRecordings() override;

  void OnRecordStart(bool saveToFile) override;
  void OnRecordStop() override;
  void OnPlayStart(int kind) override;
  void OnPlayFinished(int kind) override;
  bool PlayingCWTest() const;
  void CWTestEnded();

  TConfig& config_;
  TTransmitter& transmitter_;
  TRecorderControl& recorder_;
  TSoundCard& soundCard_;
  TStationState state_;
  TStatusDisplay display_;
  TRepeaterEngine engine_;
  TModeControl modeControl_;
  TClockTasks clockTasks_;
  TRemoteControl remote_;
  QString remotePath_;
  TIndicator indicator_;
  int playKind_ = -1;  // of the last playback that started
  bool recordingToFile_ = false;
  bool listeningPaused_ = false;  // for the CW test
  bool resumingListening_ = false;
};

}  // namespace tarvok
