// The running station and its one door: everything a station is made of, created and torn down in
// a fixed order (the sound card and its level poller, the recorder thread, the DTMF decoder, the
// two trace sources with the VOX, the station with its engine and clock), the operations that
// drive it and the signals that report every change an operator, a view or a log follows. The
// window and the headless service both go through it; neither reaches the engine, the recorder or
// the keying. Tear-down ends both threads before the sound card goes, so no audio callback runs
// on a freed object.
#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

#include "core/audio/level_poller.h"
#include "core/audio/record_thread.h"
#include "core/audio/sound_card.h"
#include "core/audio/wav_file_player.h"
#include "core/dtmf/dtmf_block_processor.h"
#include "core/schedule/list_editor.h"
#include "core/station/station.h"
#include "core/station/station_snapshot.h"
#include "core/station/trace_source.h"
#include "core/station/vox_control.h"

namespace tarvok {

class TClock;
class TConfig;
class TSnapshotFeed;
struct TPreferences;
class TTransmitter;
class TUserMessages;

// Who watches the station: a window, or nobody at a service.
enum class TStationRole { Window, Service };

// The station's timers, each a tick that a test or a simulation may also run by hand.
enum class TStationTimer { Vox, Refresh, Clock, Ident, Qst, Watchdog };

class TStationRuntime final : public QObject, private TVoxEngine {
  Q_OBJECT
 public:
  static constexpr int kDefaultRefreshInterval = 50;

  // Builds the station on the back end, keying through the transmitter; nothing runs until
  // Start. A service keeps the DTMF decoder's capture running in Internet Repeater mode, as the
  // window's Recorder menu would.
  TStationRuntime(TConfig& config, const TClock& clock, std::unique_ptr<TSoundBackend> backend,
                  TTransmitter& transmitter, TUserMessages& messages,
                  TStationRole role = TStationRole::Window, QObject* parent = nullptr);
  ~TStationRuntime() override;
  TStationRuntime(const TStationRuntime&) = delete;
  TStationRuntime& operator=(const TStationRuntime&) = delete;

  // Start-up: the first state, the timers, the threads, the restore of the last mode and the
  // check of the trace assignment, all from the event loop that follows.
  void Start();
  // Shut-down: saves the levels, delays and mode, stops capture, recording and playback, ends
  // both threads and releases the transmitter. Only the first call acts.
  void Close();
  bool Closed() const { return closed_; }

  // The mode menu, the state buttons and the scheduler switch, as a click of the user.
  void ChangeMode(TRepeaterMode mode);
  void ClickStateButton(TStateButton button);
  void ToggleScheduler();
  // The Recorder menu: the capture stream that feeds the DTMF decoder in Internet Repeater mode.
  void StartCapture();
  void StopCapture();
  // Around a modal dialog: the transmitter is held off, and a laptop station leaves Simplex
  // Repeater or Beacon Station mode while the dialog is open.
  void SuspendForDialog();
  void ResumeAfterDialog();
  // The preferences dialog's Save: the preferences, then what alsoWrite adds (a page with
  // settings of its own), written in one replace of the settings file; then the recordings
  // folder is made. When the file cannot be written the user is told once and every setting
  // keeps its value.
  bool SavePreferences(const TPreferences& preferences,
                       const std::function<void(TConfig&)>& alsoWrite = {});
  // The preferences dialog closed, with its settings saved or not.
  void ApplyPreferences(bool saved);
  // Previews of WAV files; the station's own playback cuts them off.
  TWavFilePlayer& FilePlayer() { return *filePlayer_; }
  // The CW test of the preferences and beacon editors: stops what the player plays; volume,
  // speed and frequency 0 keep the tone generator's value; an empty text does nothing; "#..."
  // plays the rest as raw elements, anything else through the Morse encoder; plays as audio
  // event 6 in every mode. Returns "" or the message for the user.
  QString TestCW(const QString& text, int volume, int speed, int frequency);
  // The recorder's format from the settings: Simplex Repeater recordings take the settings'
  // format, the other modes the DTMF decoder's.
  void ApplyRecordingFormat();
  // Milliseconds between two refreshes of the traces; one that is not among the choices is
  // stored but refreshes at the default speed.
  void SetPeakSpeed(int ms);
  int RefreshInterval() const { return refreshTimer_.interval(); }
  // The answer to TraceWarningAsked.
  void AnswerTraceWarning(bool dontShowAgain);
  // The check of the trace assignment from the event loop, with the exchange of the lines
  // allowed (a window's first show).
  void CheckTraceAssignment();
  // The pages a window shows; the mode changes follow them (the beacon page, for one).
  void SelectGeneralPage(TGeneralPage page);
  void SelectParamsTab(int tab);
  // The beacon editors' preview of a WAV file. A laptop station in Beacon Station mode stops its
  // capture while the file plays and starts it again afterwards. Returns "" or the message for
  // the user.
  QString PreviewBeaconFile(const QString& path);

  // Runs one tick of a timer. HoldTimers stops them all, for a caller that ticks by hand.
  void Tick(TStationTimer timer);
  void HoldTimers();

  // What a view shows of the station now; SnapshotChanged tells when it differs.
  TStationSnapshot Snapshot() const;
  // Both traces' levels, read when asked: they change at every refresh and signal nothing.
  TLevelReadings Levels() const;

  const TStationState& State() const { return station_->State(); }
  const TIndicator& Indicator() const { return station_->Indicator(); }
  bool TransmitterKeyed() const;
  bool Capturing() const { return soundCard_->Capturing(); }
  const TWaveFormat& RecordingFormat() const;
  // The file of the current or last recording.
  QString LastRecording() const;
  // The recordings being written or played, full paths: the clean-up and the recordings log
  // leave them alone.
  QStringList RecordingsInUse();
  // Bytes the recorder has taken in since its last playback.
  std::int64_t CapturedBytes() const { return recordThread_->TotalRecorded(); }

  // What views show and edit.
  TConfig& Settings() { return config_; }
  const TSoundCard& SoundCard() const { return *soundCard_; }
  TLevelPoller& Poller() { return *poller_; }
  TTraceSource& Trace(int index) { return *traces_[static_cast<std::size_t>(index)]; }
  TVoxControl& Vox() { return *vox_; }
  const TModeControl& Modes() const { return station_->Modes(); }
  const TStatusDisplay& Status() const { return station_->Display(); }
  const TClockTasks& Clock() const { return station_->ClockTasks(); }
  TDtmfBlockProcessor& Dtmf() { return *dtmf_; }
  // The beacon list and the mode schedule, and every change made to them.
  TListEditor& Lists() { return *lists_; }

 signals:
  // The station entered a mode; rmNone while the scheduler waits for an event.
  void ModeChanged(TRepeaterMode mode, bool schedulerOn);
  void ModeStateChanged(TModeState modeState);
  void IndicatorChanged(const TIndicator& indicator);
  void ControlsChanged();
  void TransmitterKeyedChanged(bool keyed);
  // The transmitter may key again after a time-out; the time-out itself is shown as an error.
  void TransmitterLockoutEnded();
  void RecordingStarted(const QString& file);
  void RecordingFinished(const QString& file);
  void PlaybackStarted();
  void PlaybackFinished();
  void BeaconSent(const QString& name);
  // The scheduler switched to the mode of an event, or to none while it waits.
  void ScheduledSwitch(TRepeaterMode mode);
  // The minute check of the mode schedule ran: the event in force may be another.
  void SchedulesChecked();
  void ErrorShown(const QString& text);
  void ErrorCleared();
  void DtmfKey(QChar key);
  void CaptureChanged(bool capturing);
  void TransferChanged(const QString& text);
  // A refresh began before the last one ended: "Overflowed" in the status bar.
  void RefreshOverflowed();
  void ClockChanged(const QString& date, const QString& time);
  // Something in the snapshot changed (never a level alone).
  void SnapshotChanged();
  // The upper trace lists no lines: the peak-meter help is due.
  void PeakMeterHelpNeeded();
  // The trace assignment does not suit the mode; AnswerTraceWarning answers, now or later.
  void TraceWarningAsked(const QString& message);

 private:
  struct TDialogSuspension {
    TRepeaterMode Mode = rmInternetRepeater;
    bool Laptop = false;
    int Control = 0;
    TModeState State = msDefault;
  };

  bool Inhibit() const override;
  TRepeaterMode Mode() const override;
  void SetState(int request) override;

  void ConnectRecorder();
  void ConnectStation();
  void CreateTraces();
  void ApplyToneSettings();
  void ApplyPeakSpeed();
  void SettingChanged(const QString& section, const QString& key);
  void SaveLevels();
  void RefreshTick();
  void FinishResume();
  // The traces, the listeners and the DTMF capture follow the mode in force.
  void FollowMode();
  void KeepDtmfCapture();
  void EndPreview();
  void BeginCapture();
  void FeedSnapshot();

  TConfig& config_;
  const TClock& clock_;
  TTransmitter& transmitter_;
  TUserMessages& messages_;
  const TStationRole role_;
  std::unique_ptr<TSoundCard> soundCard_;
  std::unique_ptr<TLevelPoller> poller_;
  std::unique_ptr<TRecordThread> recordThread_;
  std::unique_ptr<TWavFilePlayer> filePlayer_;
  std::unique_ptr<TDtmfBlockProcessor> dtmf_;
  std::unique_ptr<TStation> station_;
  std::array<std::unique_ptr<TTraceSource>, 2> traces_;
  std::unique_ptr<TVoxControl> vox_;
  std::unique_ptr<TListEditor> lists_;
  std::unique_ptr<TSnapshotFeed> snapshotFeed_;
  QTimer voxTimer_;
  QTimer refreshTimer_;
  bool refreshing_ = false;
  bool closed_ = false;
  bool fileRecording_ = false;
  bool resumePending_ = false;
  bool previewHoldsCapture_ = false;
  bool recorderCapture_ = false;
  TDialogSuspension suspension_;
};

}  // namespace tarvok
