#include "core/station/station_runtime.h"

#include <QDir>
#include <utility>

#include "core/audio/level_poller.h"
#include "core/audio/record_thread.h"
#include "core/audio/recordings_log.h"
#include "core/audio/sound_card.h"
#include "core/audio/wav_file_player.h"
#include "core/common/user_messages.h"
#include "core/config/config.h"
#include "core/config/preferences.h"
#include "core/dtmf/dtmf_block_processor.h"
#include "core/station/air_messages.h"
#include "core/station/control_choices.h"
#include "core/station/dialog_suspension.h"
#include "core/station/dtmf_control.h"
#include "core/station/snapshot_feed.h"
#include "core/station/station.h"
#include "core/station/trace_source.h"
#include "core/station/transmitter.h"

namespace tarvok {

TStationRuntime::TStationRuntime(TConfig& config, const TClock& clock,
                                 std::unique_ptr<TSoundBackend> backend, TTransmitter& transmitter,
                                 TUserMessages& messages, TStationRole role, QObject* parent)
    : QObject(parent),
      config_(config),
      clock_(clock),
      transmitter_(transmitter),
      messages_(messages),
      role_(role) {
  soundCard_ = std::make_unique<TSoundCard>(std::move(backend));
  poller_ = std::make_unique<TLevelPoller>(*soundCard_);
  recordThread_ = std::make_unique<TRecordThread>(soundCard_->Backend(), messages, config_, clock_);
  filePlayer_ = std::make_unique<TWavFilePlayer>(soundCard_->Backend(), recordThread_->Recorder());
  dtmf_ = std::make_unique<TDtmfBlockProcessor>(config_, clock_);
  dtmfControl_ = std::make_unique<TDtmfControl>(
      TDtmfControlSettings::Load(config_.IniFile(), dtmfControlProblem_), clock_,
      config_.DTFMLevel());
  station_ = std::make_unique<TStation>(config_, clock_, transmitter_, *recordThread_, *soundCard_,
                                        *poller_);
  lists_ = std::make_unique<TListEditor>(config_, clock_);
  connect(soundCard_.get(), &TSoundCard::Error, &station_->Display(), &TStatusDisplay::ShowError);
  connect(soundCard_.get(), &TSoundCard::Debug, this, [this](const QString& text) {
    if (config_.Debug())
      config_.WriteDebugLog(text);
  });
  ConnectRecorder();
  ConnectStation();
  station_->ClockTasks().SetRecordingsInUse([this] { return RecordingsInUse(); });
  ApplyRecordingFormat();
  CreateTraces();
  preview_ = std::make_unique<TStationPreview>(*filePlayer_, *station_, *recordThread_, *soundCard_,
                                               config_, transmitter_);
  connect(preview_.get(), &TStationPreview::Finished, this, &TStationRuntime::PreviewFinished);
  airPlayer_ = std::make_unique<TStationPreview>(*filePlayer_, *station_, *recordThread_,
                                                 *soundCard_, config_, transmitter_);
  airMessages_ = std::make_unique<TAirMessages>(*airPlayer_, transmitter_, clock_,
                                                [this] { return AirIsClear(); });
  // What the VOX heard of the message is no signal: a signal needs its full on-delay again.
  connect(airMessages_.get(), &TAirMessages::Sent, this, [this] {
    poller_->Reset();
    PostVoxRequest();
  });
  connect(airMessages_.get(), &TAirMessages::Queued, this, [this] {
    if (!timersHeld_ && !closed_)
      airTimer_.start();
  });
  dialog_ = std::make_unique<TDialogSuspension>(config_, *station_, *recordThread_);
  recordings_ = std::make_unique<TRecordingsLog>(config_, [this] { return RecordingsInUse(); });
  TDtmfBlockProcessor* dtmf = dtmf_.get();
  TDtmfControl* control = dtmfControl_.get();
  soundCard_->SetOnWaveData(
      [dtmf, control](TWaveMessage message, std::span<const std::byte> block) {
        if (message == TWaveMessage::Data)
          control->CapturedBlock(block);
        dtmf->CaptureBlock(message, block);
      });
  ConnectDtmfControl();

  poller_->SetVoxOnDelay(config_.StartDelay());
  poller_->SetVoxOffDelay(config_.StopDelay());
  poller_->SetOtherOnDelay(config_.LocalStartDelay());
  poller_->SetOtherOffDelay(config_.LocalStopDelay());

  poller_->SetOnFlip([this] { PostVoxRequest(); });
  poller_->SetOnMoving([this] { PostRefresh(); });
  airTimer_.setInterval(kAirRetryInterval);
  connect(&airTimer_, &QTimer::timeout, this, [this] { Tick(TStationTimer::AirMessages); });
  connect(&refreshTimer_, &QTimer::timeout, this, &TStationRuntime::RefreshTick);
  ApplyPeakSpeed();
  connect(&config_, &TConfig::SettingChanged, this, &TStationRuntime::SettingChanged);
  FeedSnapshot();
}

TStationRuntime::~TStationRuntime() { Close(); }

void TStationRuntime::ConnectRecorder() {
  TRadioRecorder& recorder = recordThread_->Recorder();
  TStatusDisplay& display = station_->Display();
  connect(&recorder, &TWaveRecorder::ErrorRaised, &display, &TStatusDisplay::ShowError);
  connect(&recorder, &TWaveRecorder::Starting, &display, &TStatusDisplay::ClearError);
  // The counters are asked for from the audio threads; the display throttles them.
  connect(&recorder, &TRadioRecorder::PlayProgress, &display, &TStatusDisplay::ProgressTick,
          Qt::DirectConnection);
  connect(&recorder, &TRadioRecorder::RecordProgress, &display, &TStatusDisplay::ProgressTick,
          Qt::DirectConnection);
  connect(&recorder, &TRadioRecorder::RecordingFileStarted, this, [this](const QString& file) {
    // What was heard before this recording began is not its business.
    dtmfControl_->DecodeQueued();
    dtmfControl_->TakePinHeard();
    recordingWithheld_ = false;
    simplexRecording_ = State().Mode == rmSimplexRepeater;
    fileRecording_ = true;
    emit RecordingStarted(file);
  });
  TDtmfBlockProcessor* dtmf = dtmf_.get();
  TDtmfControl* control = dtmfControl_.get();
  // Commands hear the received audio before the DTMF window's equalizer changes it.
  recorder.SetOnData([dtmf, control, &recorder](std::span<std::byte> block) {
    control->RecordedBlock(block, recorder.Format());
    dtmf->RecordedBlock(block);
  });
  // The tone settings a test was given last only for itself.
  connect(station_.get(), &TStation::CWTestFinished, this, &TStationRuntime::ApplyToneSettings);
  connect(station_.get(), &TStation::RecordingMarked, this, [this](bool recording) {
    for (auto& trace : traces_)
      trace->MarkRecording(recording);
    if (!recording && fileRecording_) {
      fileRecording_ = false;
      if (!WithholdRecording())
        emit RecordingFinished(LastRecording());
    }
  });
}

void TStationRuntime::ConnectStation() {
  TStation& station = *station_;
  TModeControl& modes = station.Modes();
  TStatusDisplay& display = station.Display();
  // Before the views hear of the mode: the Recorder's capture ends with any mode change.
  connect(&modes, &TModeControl::ModeChanged, this, [this] { recorderCapture_ = false; });
  connect(&modes, &TModeControl::ModeChanged, this, &TStationRuntime::FollowMode);
  connect(&modes, &TModeControl::ControlsChanged, this, &TStationRuntime::ControlsChanged);
  connect(&modes, &TModeControl::ScheduledModeSwitched, this, &TStationRuntime::ScheduledSwitch);
  connect(&station.Engine(), &TRepeaterEngine::ModeStateChanged, this,
          &TStationRuntime::ModeStateChanged);
  connect(&station, &TStation::IndicatorChanged, this,
          [this] { emit IndicatorChanged(Indicator()); });
  connect(&station, &TStation::BeaconStarted, this, &TStationRuntime::BeaconSent);
  connect(&station, &TStation::PlaybackStarted, this, &TStationRuntime::PlaybackStarted);
  connect(&station, &TStation::PlaybackFinished, this, &TStationRuntime::PlaybackFinished);
  // The engine ignores the VOX while it plays, records for a repeat or keys for itself.
  connect(&station, &TStation::AudioChanged, this, &TStationRuntime::PostVoxRequest);
  connect(&station.Engine(), &TRepeaterEngine::ModeStateChanged, this,
          &TStationRuntime::PostVoxRequest);
  connect(&transmitter_, &TTransmitter::KeyingChanged, this, &TStationRuntime::PostVoxRequest);
  connect(&display, &TStatusDisplay::ErrorChanged, this, [this](const QString& text) {
    if (text.isEmpty())
      emit ErrorCleared();
    else
      emit ErrorShown(text);
  });
  connect(&display, &TStatusDisplay::TransferChanged, this, &TStationRuntime::TransferChanged);
  connect(&station.ClockTasks(), &TClockTasks::ClockChanged, this, &TStationRuntime::ClockChanged);
  connect(&station.ClockTasks(), &TClockTasks::MinuteBegan, lists_.get(),
          &TListEditor::UpdateNextRuns);
  connect(&station.ClockTasks(), &TClockTasks::SchedulesChecked, this,
          &TStationRuntime::SchedulesChecked);
  dtmf_->SetEntriesHidden(dtmfControl_->Enabled());
  connect(dtmf_.get(), &TDtmfBlockProcessor::KeyDecoded, this, [this](QChar key) {
    if (!dtmfControl_->Entering())
      emit DtmfKey(key);
  });
  connect(soundCard_.get(), &TSoundCard::CaptureChanged, this, [this](bool capturing) {
    recorderCapture_ = recorderCapture_ && capturing;
    emit CaptureChanged(capturing);
  });
  connect(&transmitter_, &TTransmitter::LineChanged, this,
          &TStationRuntime::TransmitterKeyedChanged);
  connect(&transmitter_, &TTransmitter::TimedOut, this, [this](int seconds) {
    station_->Engine().TransmitterTimedOut();
    station_->Display().ShowError(QStringLiteral("Transmitter time-out after %1 s").arg(seconds));
  });
  connect(&transmitter_, &TTransmitter::LockoutEnded, this,
          &TStationRuntime::TransmitterLockoutEnded);
}

void TStationRuntime::CreateTraces() {
  for (int index : {TTraceSource::kUpper, TTraceSource::kLower}) {
    auto trace = std::make_unique<TTraceSource>(index, config_, clock_);
    trace->SetNoiseLevel(config_.NoiseLevel());
    trace->SetThreshold(config_.ThresholdLevel());
    trace->Initialize(soundCard_.get(), poller_.get());
    connect(trace.get(), &TTraceSource::DeviceReport, &station_->Display(),
            &TStatusDisplay::ShowError);
    for (const auto changed : {&TTraceSource::ControlsChanged, &TTraceSource::LinesChanged}) {
      connect(trace.get(), changed, this, &TStationRuntime::PostVoxRequest);
      connect(trace.get(), changed, this, &TStationRuntime::PostRefresh);
    }
    traces_[static_cast<std::size_t>(index)] = std::move(trace);
  }
  for (auto& trace : traces_)
    trace->SetMode(State().Mode);
  vox_ = std::make_unique<TVoxControl>(config_, *poller_, EditTrace(TTraceSource::kUpper),
                                       EditTrace(TTraceSource::kLower),
                                       static_cast<TVoxEngine&>(*this));
  connect(station_.get(), &TStation::CheckTracesRequested, vox_.get(),
          [this] { vox_->CheckTraces(true); });
  connect(vox_.get(), &TVoxControl::PeakMeterHelpNeeded, this,
          &TStationRuntime::PeakMeterHelpNeeded);
  connect(vox_.get(), &TVoxControl::TraceWarningAsked, this, &TStationRuntime::TraceWarningAsked);
}

void TStationRuntime::Start() {
  ApplyToneSettings();
  station_->Start();
  FollowMode();
  if (config_.RemoteFolderMissing())
    station_->Display().ShowError(
        QStringLiteral("The remote folder %1 does not exist: remote control is off")
            .arg(config_.RemotePath()));
  if (!dtmfControlProblem_.isEmpty()) {
    QMetaObject::invokeMethod(
        this, [this] { emit DtmfControlLine(dtmfControlProblem_); }, Qt::QueuedConnection);
  }
  poller_->Start();
  refreshTimer_.start();
  vox_->ApplyLevels();
  vox_->PostCheckTraces(false);
  PostVoxRequest();
}

void TStationRuntime::Close() {
  if (closed_)
    return;
  closed_ = true;
  airTimer_.stop();
  refreshTimer_.stop();
  // One write: a file that cannot be written is reported once.
  config_.WriteTogether([this] {
    SaveLevels();
    config_.WriteLists();
    dtmf_->SetClosing();
    station_->Close();
    // A laptop closed with a dialog open comes back in the mode it left for the dialog.
    if (const auto mode = dialog_->ModeLeft())
      config_.SetDefaultMode(*mode);
  });
  // A beacon or message on the air ends with the station.
  airMessages_->Stop();
  filePlayer_->Stop();
  recordThread_->StopPlay();
  recordThread_->StopRecord();
  soundCard_->StopCapture();
  poller_->Terminate();
  transmitter_.Key(false);
}

void TStationRuntime::SaveLevels() {
  const TTraceLevels& levels = Trace(TTraceSource::kUpper).Levels();
  config_.SetThresholdLevel(levels.ThresholdLevel());
  config_.SetNoiseLevel(levels.NoiseLevel());
  config_.SetStartDelay(poller_->Vox().OnDelay());
  config_.SetStopDelay(poller_->Vox().OffDelay());
  config_.SetLocalStartDelay(poller_->Other().OnDelay());
  config_.SetLocalStopDelay(poller_->Other().OffDelay());
}

TStationRuntime::TDialogHold::TDialogHold(TStationRuntime& station) : station_(station) {
  if (station_.closed_)
    return;
  // A dialog holds the transmitter off: an answer on the air ends, those waiting wait longer.
  station_.airMessages_->CutShort();
  station_.dialog_->Begin();
  // The transmitter drops at once, not at the next turn of the event loop.
  station_.AskVox();
  station_.snapshotFeed_->Update();
}

TStationRuntime::TDialogHold::~TDialogHold() { station_.EndDialogHold(); }

void TStationRuntime::EndDialogHold() {
  if (closed_)
    return;
  preview_->Stop();
  dialog_->End();
  PostVoxRequest();
  snapshotFeed_->Update();
  // The tone a dialog's CW test was given.
  ApplyToneSettings();
  if (std::exchange(applyPending_, false))
    ApplyPreferences();
}

void TStationRuntime::ApplyRecordingFormat() {
  TRadioRecorder& recorder = recordThread_->Recorder();
  if (State().Mode == rmSimplexRepeater) {
    // The DTMF decoder reads the recorder's blocks as 16-bit mono: with it on in Simplex
    // Repeater mode, a format of other channels or bits is not taken.
    const TWaveFormat& current = recorder.RecordingFormat();
    if (!config_.DTFMSimplex() || (current.Channels == config_.Channels() &&
                                   current.BitsPerSample == config_.BitsPerSample())) {
      recorder.SetRecordingFormat(static_cast<std::uint16_t>(config_.FormatTag()),
                                  static_cast<std::uint16_t>(config_.Channels()),
                                  static_cast<std::uint32_t>(config_.SamplesPerSec()),
                                  static_cast<std::uint16_t>(config_.BitsPerSample()), 0);
    }
  } else {
    recorder.SetRecordingFormat(TWaveFormat::kPcm, 1, 8000, 16, TSoundCard::kCaptureBlockBytes);
  }
  station_->Engine().SetTimerIntervals();
}

bool TStationRuntime::SavePreferences(const TPreferences& preferences) {
  const TPreferences before = TPreferences::Read(config_);
  const TBeaconList beaconsBefore = lists_->Beacons();
  const bool written = config_.WriteTogether([&] {
    preferences.Write(config_);
    if (preferences.Beacons)
      lists_->ReplaceBeacons(*preferences.Beacons);
  });
  if (!written) {
    // The file is as it was: the settings in memory go back to it, and a replace with the same
    // content is not even tried.
    config_.IniFile().Batch([&] {
      before.Write(config_);
      if (preferences.Beacons)
        lists_->ReplaceBeacons(beaconsBefore);
    });
    return false;
  }
  const QString recordings =
      config_.LogPath().isEmpty() ? config_.DefaultLogPath() : config_.LogPath();
  if (!QDir().mkpath(recordings))
    messages_.ShowError(QStringLiteral("Unable to create the folder %1").arg(recordings));
  if (dialog_->Holding())
    applyPending_ = true;
  else
    ApplyPreferences();
  return true;
}

void TStationRuntime::ApplyPreferences() {
  ApplyRecordingFormat();
  station_->Display().UpdateCaptions();
  station_->FollowRemotePath();
  for (auto& trace : traces_)
    trace->RefreshFromSettings();
  // The VOX trace of the mode may have changed.
  FollowMode();
}

void TStationRuntime::FollowMode() {
  for (auto& trace : traces_)
    trace->SetMode(State().Mode);
  emit ModeChanged(State().Mode, State().SchedulerOn);
  KeepDtmfCapture();
  PostVoxRequest();
}

void TStationRuntime::ApplyToneSettings() { ApplyStoredTone(recordThread_->Recorder(), config_); }

void TStationRuntime::SettingChanged(const QString& section, const QString& key) {
  PostRefresh();
  if (section != QLatin1String("Audio"))
    return;
  PostVoxRequest();
  if (key == QLatin1String("CWFrequency") || key == QLatin1String("CWSpeed") ||
      key == QLatin1String("CWVolume")) {
    ApplyToneSettings();
  } else if (key.startsWith(QLatin1String("AudioTime"))) {
    station_->Engine().SetTimerIntervals();
  } else if (key == QLatin1String("PeakSpeed")) {
    ApplyPeakSpeed();
  }
}

void TStationRuntime::ApplyPeakSpeed() {
  const bool listed = ChoiceIndex(PeakSpeedChoices(), config_.PeakSpeed()) >= 0;
  refreshTimer_.setInterval(listed ? config_.PeakSpeed() : kDefaultRefreshInterval);
}

void TStationRuntime::ReportSkippedRecording(const QString& error) {
  emit RecordingSkipped(QStringLiteral("Skipped: %1").arg(error));
}

void TStationRuntime::Tick(TStationTimer timer) {
  switch (timer) {
    case TStationTimer::AirMessages:
      airMessages_->TrySend();
      if (!airMessages_->Waiting())
        airTimer_.stop();
      break;
    case TStationTimer::Refresh:
      RefreshTick();
      break;
    case TStationTimer::Clock:
      station_->ClockTasks().ClockTick();
      break;
    case TStationTimer::Ident:
      station_->Engine().IdentTimerTick();
      break;
    case TStationTimer::Qst:
      station_->Engine().QstTimerTick();
      break;
    case TStationTimer::Watchdog:
      transmitter_.WatchdogTick();
      break;
  }
}

void TStationRuntime::PostVoxRequest() {
  if (voxRequestPosted_.exchange(true))
    return;
  QMetaObject::invokeMethod(this, &TStationRuntime::AskVox, Qt::QueuedConnection);
}

void TStationRuntime::AskVox() {
  voxRequestPosted_ = false;
  // A request posted before the close must not key a closed station.
  if (closed_)
    return;
  vox_->RequestState();
  airMessages_->TrySend();
}

void TStationRuntime::HoldTimers() {
  timersHeld_ = true;
  airTimer_.stop();
  refreshTimer_.stop();
  station_->ClockTasks().StopTimer();
  transmitter_.HoldWatchdogTimer();
}

void TStationRuntime::PostRefresh() {
  if (refreshPosted_.exchange(true))
    return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        refreshPosted_ = false;
        if (!timersHeld_ && !closed_ && !refreshTimer_.isActive())
          refreshTimer_.start();
      },
      Qt::QueuedConnection);
}

void TStationRuntime::RefreshTick() {
  if (refreshing_) {
    emit RefreshOverflowed();
    return;
  }
  refreshing_ = true;
  bool changed = false;
  for (auto& trace : traces_)
    changed = trace->DisplayTick() || changed;
  bool agc = false;
  for (auto& trace : traces_) {
    trace->AgcTick();
    agc = agc || config_.AgcEnabled(trace->TraceIndex());
  }
  // Settled levels drawn as a flat trace need no refresh until the poller has news.
  if (!changed && !agc && !poller_->Moving())
    refreshTimer_.stop();
  refreshing_ = false;
}

void TStationRuntime::KeepDtmfCapture() {
  // Simplex Repeater mode hears through the recorder and Beacon Station captures for itself; a
  // scheduler that waits for an event still listens for commands.
  const TRepeaterMode mode = State().Mode;
  const bool forCommands =
      dtmfControl_->Enabled() && (mode == rmInternetRepeater || mode == rmNone);
  const bool forService =
      role_ == TStationRole::Service && mode == rmInternetRepeater && dtmf_->Enabled();
  if ((forCommands || forService) && !Capturing())
    BeginCapture();
}

bool TStationRuntime::Inhibit() const { return State().Inhibit; }

TRepeaterMode TStationRuntime::Mode() const { return State().Mode; }

void TStationRuntime::SetState(int request) {
  station_->Engine().SetState(TSender::Trace, request);
}

}  // namespace tarvok
