// The running station and its one door: everything a station is made of, created and torn down in
// a fixed order (the sound card and its level poller, the recorder thread, the DTMF decoder, the
// two trace sources with the VOX, the station with its engine and clock), the operations that
// drive it and the signals that report every change an operator, a view or a log follows. The
// window, the headless service and any other view go through it: it hands out read-only state and
// takes every change as an operation, so the rules live here, once. Tear-down ends both threads
// before the sound card goes, so no audio callback runs on a freed object.
#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <atomic>
#include <memory>

#include "core/schedule/list_editor.h"
#include "core/station/mode_control.h"
#include "core/station/state_indicator.h"
#include "core/station/station_edits.h"
#include "core/station/station_preview.h"
#include "core/station/station_snapshot.h"
#include "core/station/station_state.h"
#include "core/station/vox_control.h"

namespace tarvok {

class TAirMessages;
class TClock;
class TClockTasks;
class TConfig;
class TDialogSuspension;
class TDtmfBlockProcessor;
class TDtmfControl;
struct TDtmfCommand;
class TLevelPoller;
class TRecordThread;
class TRecordingsLog;
class TSnapshotFeed;
class TSoundBackend;
class TSoundCard;
class TStation;
class TStatusDisplay;
class TTraceSource;
class TTransmitter;
class TUserMessages;
class TWavFilePlayer;
struct TPreferences;
struct TWaveFormat;

// Who watches the station: a window, or nobody at a service.
enum class TStationRole { Window, Service };

// The station's timers, each a tick that a test or a simulation may also run by hand.
enum class TStationTimer { AirMessages, Refresh, Clock, Ident, Qst, Watchdog };

class TStationRuntime final : public QObject, private TVoxEngine {
  Q_OBJECT
 public:
  static constexpr int kDefaultRefreshInterval = 50;
  // Milliseconds between looks at the air while an answer waits for it.
  static constexpr int kAirRetryInterval = 5;

  // A modal dialog's hold on the station, for as long as the object lives: the transmitter is
  // held off (in memory: the settings file keeps the operator's state), a laptop station leaves
  // Simplex Repeater or Beacon Station mode, and at the end the dialog's previews stop, the
  // stored CW tone returns and preferences saved meanwhile take effect.
  class TDialogHold {
   public:
    explicit TDialogHold(TStationRuntime& station);
    ~TDialogHold();
    TDialogHold(const TDialogHold&) = delete;
    TDialogHold& operator=(const TDialogHold&) = delete;

   private:
    TStationRuntime& station_;
  };

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
  // check of the trace assignment, all from the event loop that follows. Remote control switched
  // on over a missing folder is said once, as an error.
  void Start();
  // Shut-down: saves the levels, delays, mode and lists in one write of the settings file, stops
  // capture, recording and playback, ends both threads and releases the transmitter. Only the
  // first call acts.
  void Close();
  bool Closed() const { return closed_; }

  // The mode menu, the state buttons and the scheduler switch, as a click of the user.
  void ChangeMode(TRepeaterMode mode);
  void ClickStateButton(TStateButton button);
  void ToggleScheduler();
  // The Recorder menu: the capture stream that feeds the DTMF decoder in Internet Repeater mode.
  // Every mode change ends it as the Recorder's (Beacon Station goes on capturing for itself).
  void StartCapture();
  void StopCapture();
  [[nodiscard]] TDialogHold HoldForDialog() { return TDialogHold(*this); }
  // The preferences dialog's Save: the preferences (the beacon list among them) in one replace
  // of the settings file, then the recordings folder is made; they take effect at once, or when
  // a dialog's hold ends. When the file cannot be written the user is told once and every
  // setting keeps its value.
  bool SavePreferences(const TPreferences& preferences);
  // The saved settings take effect: recording format, captions, remote folder, traces, VOX.
  void ApplyPreferences();

  // Plays a WAV file and then a CW text (either may be empty) as the air would carry them,
  // without keying; the CW with the tone given. "" when something plays, else the message for
  // the user ("The audio device is busy" while the transmitter is keyed). The station's own
  // playback cuts a preview off; PreviewFinished follows its end either way.
  QString Preview(const QString& file, const QString& cw = {}, const TCWTone& tone = {});
  void StopPreview();
  bool Previewing() const;

  // The settings a view edits in place, each written at once.
  // The Com Port page: a port number, or a serial device that takes precedence over it.
  void ChooseComPort(int port);
  void ChooseComDevice(const QString& device);
  // 0 keys DTR, 1 keys RTS.
  void ChooseComPin(int pin);
  void SetTxTimeout(int seconds);
  void SetTxLockout(int seconds);
  // Milliseconds between two refreshes of the traces; one that is not among the choices is
  // stored but refreshes at the default speed.
  void SetPeakSpeed(int ms);
  int RefreshInterval() const { return refreshTimer_.interval(); }
  // The Transmit page's fields, as typed.
  void ApplyVoxEdit(TVoxControl::TEdit edit, const QString& text);
  // The trace pages' choices; trace is TTraceSource::kUpper or kLower.
  void ChangeTrace(int trace, TTraceChange change, int value);
  void SetTraceDisplaySize(int trace, int scopeWidth, int meterWidth, int height);
  // The DTMF window's choices; true when switching on calls for the Simplex hint.
  bool ChangeDtmf(TDtmfChange change, int value);
  void ChangeDtmfGain(int band, int step);
  void ResetDtmfEqualizer();
  void ClearDtmfTerminal();

  // The beacon list and the mode schedule; each returns false when nothing was changed (a
  // position outside the list) or the file could not be written (the user has been told).
  bool AddBeacon(const TBeacon& beacon) { return lists_->AddBeacon(beacon); }
  bool SaveBeacon(int index, const TBeacon& beacon) { return lists_->SaveBeacon(index, beacon); }
  bool DeleteBeacon(int index) { return lists_->DeleteBeacon(index); }
  bool SetBeaconEnabled(int index, bool on) { return lists_->SetBeaconEnabled(index, on); }
  bool AddEvent(const TScheduleEvent& event) { return lists_->AddEvent(event); }
  bool SaveEvent(int index, const TScheduleEvent& event) { return lists_->SaveEvent(index, event); }
  bool DeleteEvent(int index) { return lists_->DeleteEvent(index); }
  bool SetEventEnabled(int index, bool on) { return lists_->SetEventEnabled(index, on); }
  // Whole lists, as a remote view sends them.
  bool ReplaceBeacons(const TBeaconList& beacons) { return lists_->ReplaceBeacons(beacons); }
  bool ReplaceEvents(const std::vector<TScheduleEvent>& events) {
    return lists_->ReplaceEvents(events);
  }

  // The recordings log: the folder it lists ("" or the message for the user), a fresh listing,
  // and the deletion of one entry.
  QString SetRecordingsFolder(const QString& text);
  void RelistRecordings();
  QString DeleteRecording(int index);

  // The recorder's format from the settings: Simplex Repeater recordings take the settings'
  // format, the other modes the DTMF decoder's.
  void ApplyRecordingFormat();
  // The answer to TraceWarningAsked.
  void AnswerTraceWarning(bool dontShowAgain);
  // The check of the trace assignment from the event loop, with the exchange of the lines
  // allowed (a window's first show).
  void CheckTraceAssignment();
  // The pages a window shows; the mode changes follow them (the beacon page, for one).
  void SelectGeneralPage(TGeneralPage page);
  void SelectParamsTab(int tab);
  // The recordings log's continuous play passed over a recording it could not read: why, in one
  // line for the operator log and the view (RecordingSkipped).
  void ReportSkippedRecording(const QString& error);

  // Runs one tick of a timer. HoldTimers stops them all, for a caller that ticks by hand.
  void Tick(TStationTimer timer);
  void HoldTimers();
  // The VOX trace's request reaches the engine from the event loop, once however often it is
  // posted before it runs; any thread. Whatever may change the request or let the engine take
  // one it ignored posts it: a flag's flip, the engine's state, the audio, the keying, the
  // traces and the settings.
  void PostVoxRequest();

  // What a view shows of the station now; SnapshotChanged tells when it differs.
  TStationSnapshot Snapshot() const;
  // Both traces' levels, read when asked: they change at every refresh and signal nothing.
  TLevelReadings Levels() const;

  const TStationState& State() const;
  const TIndicator& Indicator() const;
  bool TransmitterKeyed() const;
  bool Capturing() const;
  // The capture runs because Recorder > Start started it, not because the station keeps it for
  // itself (Beacon Station, a service's DTMF decoder): only then is the Mode menu closed.
  bool RecorderCapturing() const;
  const TWaveFormat& RecordingFormat() const;
  // The file of the current or last recording.
  QString LastRecording() const;
  // The recordings being written or played, full paths: the clean-up and the recordings log
  // leave them alone.
  QStringList RecordingsInUse() const;
  // Bytes the recorder has taken in since its last playback.
  std::int64_t CapturedBytes() const;

  // What views show, read-only.
  const TConfig& Settings() const { return config_; }
  const TSoundCard& SoundCard() const { return *soundCard_; }
  const TTraceSource& Trace(int index) const { return *traces_[static_cast<std::size_t>(index)]; }
  const TVoxControl& Vox() const { return *vox_; }
  const TModeControl& Modes() const;
  const TStatusDisplay& Status() const;
  const TClockTasks& Clock() const;
  const TDtmfBlockProcessor& Dtmf() const { return *dtmf_; }
  const TListEditor& Lists() const { return *lists_; }
  const TRecordingsLog& Recordings() const { return *recordings_; }

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
  void RecordingSkipped(const QString& line);
  void PlaybackStarted();
  void PlaybackFinished();
  void PreviewFinished();
  void BeaconSent(const QString& name);
  // The scheduler switched to the mode of an event, or to none while it waits.
  void ScheduledSwitch(TRepeaterMode mode);
  // The minute check of the mode schedule ran: the event in force may be another.
  void SchedulesChecked();
  void ErrorShown(const QString& text);
  void ErrorCleared();
  // A key the DTMF window's decoder read; never one of a command entry.
  void DtmfKey(QChar key);
  // What commands over the air did, for the operator log.
  void DtmfControlLine(const QString& line);
  void CaptureChanged(bool capturing);
  void TransferChanged(const QString& text);
  // Something in the snapshot changed (never a level alone).
  void SnapshotChanged();
  // A refresh began before the last one ended: "Overflowed" in the status bar.
  void RefreshOverflowed();
  void ClockChanged(const QString& date, const QString& time);
  // The upper trace lists no lines: the peak-meter help is due.
  void PeakMeterHelpNeeded();
  // The trace assignment does not suit the mode; AnswerTraceWarning answers, now or later.
  void TraceWarningAsked(const QString& message);

 private:
  friend class TStationRuntimeProbe;  // the tests' access to the level poller

  bool Inhibit() const override;
  TRepeaterMode Mode() const override;
  void SetState(int request) override;

  void ConnectRecorder();
  void ConnectStation();
  void CreateTraces();
  void FeedSnapshot();
  void ApplyToneSettings();
  void ApplyPeakSpeed();
  void SettingChanged(const QString& section, const QString& key);
  void SaveLevels();
  void RefreshTick();
  // The refresh runs again, from the event loop; any thread.
  void PostRefresh();
  void AskVox();
  void EndDialogHold();
  // The traces, the listeners and the DTMF capture follow the mode in force.
  void FollowMode();
  void KeepDtmfCapture();
  void ConnectDtmfControl();
  void RunDtmfCommand(const TDtmfCommand& command);
  // Runs a command; false when it is refused.
  bool DoDtmfCommand(const TDtmfCommand& command);
  // "I 1423": the mode's letter (W while the scheduler waits) and the time.
  QString StatusReport() const;
  // Nothing is on the air nor about to be, and nothing holds the transmitter: no carrier, no
  // signal on the VOX trace, no recording or playback, no forced state, lock-out or dialog.
  bool AirIsClear() const;
  // At the end of a Simplex recording: one that carried the PIN is deleted unheard and unlisted.
  bool WithholdRecording();
  void BeginCapture();
  TTraceSource& EditTrace(int index) { return *traces_[static_cast<std::size_t>(index)]; }

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
  std::unique_ptr<TDtmfControl> dtmfControl_;
  QString dtmfControlProblem_;
  std::unique_ptr<TListEditor> lists_;
  std::unique_ptr<TStation> station_;
  std::array<std::unique_ptr<TTraceSource>, 2> traces_;
  std::unique_ptr<TVoxControl> vox_;
  std::unique_ptr<TStationPreview> preview_;
  std::unique_ptr<TStationPreview> airPlayer_;
  std::unique_ptr<TAirMessages> airMessages_;
  std::unique_ptr<TDialogSuspension> dialog_;
  std::unique_ptr<TRecordingsLog> recordings_;
  std::unique_ptr<TSnapshotFeed> snapshotFeed_;
  // Runs while an answer waits for the air.
  QTimer airTimer_;
  QTimer refreshTimer_;
  std::atomic<bool> voxRequestPosted_{false};
  std::atomic<bool> refreshPosted_{false};
  bool timersHeld_ = false;
  bool refreshing_ = false;
  bool closed_ = false;
  bool fileRecording_ = false;
  bool recorderCapture_ = false;
  bool recordingWithheld_ = false;
  // The recording to file in progress began in Simplex Repeater mode (which it may have left).
  bool simplexRecording_ = false;
  bool applyPending_ = false;
};

}  // namespace tarvok
