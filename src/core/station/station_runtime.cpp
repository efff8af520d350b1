#include "core/station/station_runtime.h"

#include <QDir>
#include <utility>

#include "core/common/user_messages.h"
#include "core/config/config.h"
#include "core/config/preferences.h"
#include "core/station/control_choices.h"
#include "core/station/snapshot_feed.h"
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
  TDtmfBlockProcessor* dtmf = dtmf_.get();
  soundCard_->SetOnWaveData([dtmf](TWaveMessage message, std::span<const std::byte> block) {
    dtmf->CaptureBlock(message, block);
  });

  poller_->SetVoxOnDelay(config_.StartDelay());
  poller_->SetVoxOffDelay(config_.StopDelay());
  poller_->SetOtherOnDelay(config_.LocalStartDelay());
  poller_->SetOtherOffDelay(config_.LocalStopDelay());

  connect(&voxTimer_, &QTimer::timeout, vox_.get(), &TVoxControl::VoxTimerTick);
  connect(&refreshTimer_, &QTimer::timeout, this, &TStationRuntime::RefreshTick);
  ApplyPeakSpeed();
  connect(&config_, &TConfig::SettingChanged, this, &TStationRuntime::SettingChanged);
  FeedSnapshot();
}

void TStationRuntime::FeedSnapshot() {
  snapshotFeed_ = std::make_unique<TSnapshotFeed>([this] { return Snapshot(); });
  connect(snapshotFeed_.get(), &TSnapshotFeed::Changed, this, &TStationRuntime::SnapshotChanged);
  TSnapshotFeed* feed = snapshotFeed_.get();
  const auto update = [feed] { feed->Update(); };
  connect(this, &TStationRuntime::ModeStateChanged, feed, update);
  connect(this, &TStationRuntime::ControlsChanged, feed, update);
  connect(this, &TStationRuntime::ErrorCleared, feed, update);
  connect(this, &TStationRuntime::SchedulesChecked, feed, update);
  connect(this, &TStationRuntime::ModeChanged, feed, update);
  connect(this, &TStationRuntime::IndicatorChanged, feed, update);
  connect(this, &TStationRuntime::ErrorShown, feed, update);
  connect(soundCard_.get(), &TSoundCard::CaptureChanged, feed, [this, feed](bool capturing) {
    if (!capturing)
      recorderCapture_ = false;
    feed->Update();
  });
  connect(this, &TStationRuntime::ClockChanged, feed, update);
  connect(&station_->Display(), &TStatusDisplay::CaptionChanged, feed, update);
  connect(&transmitter_, &TTransmitter::KeyingChanged, feed, update);
  connect(&config_, &TConfig::SettingChanged, feed, update);
  connect(lists_.get(), &TListEditor::BeaconsChanged, feed, update);
  connect(lists_.get(), &TListEditor::SchedulesChanged, feed, update);
}

TStationSnapshot TStationRuntime::Snapshot() const {
  const TStationState& state = State();
  TStationSnapshot snapshot;
  snapshot.Mode = state.Mode;
  snapshot.SchedulerOn = state.SchedulerOn;
  snapshot.ModeState = state.ModeState;
  snapshot.Control = static_cast<TControlState>(config_.State());
  snapshot.Caption = station_->Display().Caption();
  snapshot.Indicator = Indicator();
  snapshot.Keyed = transmitter_.Keyed();
  snapshot.KeyedSince = transmitter_.KeyedSince();
  snapshot.Capturing = Capturing();
  snapshot.RecorderCapture = recorderCapture_ && snapshot.Capturing;
  snapshot.Error = station_->Display().ErrorText();
  snapshot.Date = station_->ClockTasks().DateText();
  snapshot.Time = station_->ClockTasks().TimeText();
  snapshot.NextBeacon = NextBeaconRun(lists_->Beacons());
  snapshot.NextEvent = NextEventRun(lists_->Schedules());
  return snapshot;
}

TLevelReadings TStationRuntime::Levels() const {
  TLevelReadings readings;
  for (std::size_t i = 0; i < traces_.size(); ++i)
    readings[i] = traces_[i]->Reading();
  return readings;
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
    fileRecording_ = true;
    emit RecordingStarted(file);
  });
  TDtmfBlockProcessor* dtmf = dtmf_.get();
  recorder.SetOnData([dtmf](std::span<std::byte> block) { dtmf->RecordedBlock(block); });
  // The tone settings a test was given last only for itself.
  connect(station_.get(), &TStation::CWTestFinished, this, &TStationRuntime::ApplyToneSettings);
  connect(station_.get(), &TStation::RecordingMarked, this, [this](bool recording) {
    for (auto& trace : traces_)
      trace->MarkRecording(recording);
    if (!recording && fileRecording_) {
      fileRecording_ = false;
      emit RecordingFinished(LastRecording());
    }
  });
}

void TStationRuntime::ConnectStation() {
  TStation& station = *station_;
  TModeControl& modes = station.Modes();
  TStatusDisplay& display = station.Display();
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
  connect(dtmf_.get(), &TDtmfBlockProcessor::KeyDecoded, this, &TStationRuntime::DtmfKey);
  connect(soundCard_.get(), &TSoundCard::CaptureChanged, this, &TStationRuntime::CaptureChanged);
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
    traces_[static_cast<std::size_t>(index)] = std::move(trace);
  }
  for (auto& trace : traces_)
    trace->SetMode(State().Mode);
  vox_ =
      std::make_unique<TVoxControl>(config_, *poller_, Trace(TTraceSource::kUpper),
                                    Trace(TTraceSource::kLower), static_cast<TVoxEngine&>(*this));
  connect(station_.get(), &TStation::CheckTracesRequested, vox_.get(),
          [this] { vox_->CheckTraces(true); });
  connect(vox_.get(), &TVoxControl::PeakMeterHelpNeeded, this,
          &TStationRuntime::PeakMeterHelpNeeded);
  connect(vox_.get(), &TVoxControl::TraceWarningAsked, this, &TStationRuntime::TraceWarningAsked);
}

void TStationRuntime::Start() {
  ApplyToneSettings();
  voxTimer_.setInterval(config_.VoxTimer());
  voxTimer_.start();
  station_->Start();
  FollowMode();
  poller_->Start();
  refreshTimer_.start();
  vox_->ApplyLevels();
  vox_->PostCheckTraces(false);
}

void TStationRuntime::Close() {
  if (closed_)
    return;
  closed_ = true;
  voxTimer_.stop();
  refreshTimer_.stop();
  config_.WriteTogether([this] {
    SaveLevels();
    dtmf_->SetClosing();
    station_->Close();
  });
  // A beacon or message on the air ends with the station.
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

void TStationRuntime::ChangeMode(TRepeaterMode mode) { station_->Modes().ChangeMode(mode); }

void TStationRuntime::ClickStateButton(TStateButton button) {
  station_->Modes().ClickStateButton(button);
}

void TStationRuntime::ToggleScheduler() { station_->Modes().ToggleScheduler(); }

void TStationRuntime::SuspendForDialog() {
  if (closed_)
    return;
  // A dialog opened before the last one's return ran keeps the state saved before that one.
  const bool resuming = std::exchange(resumePending_, false);
  const TStationState& state = State();
  suspension_.Mode = state.Mode;
  suspension_.Laptop = config_.IsLaptop();
  if (suspension_.Laptop && (state.Mode == rmSimplexRepeater || state.Mode == rmBeaconStation))
    station_->Modes().ChangeMode(rmInternetRepeater);
  if (!resuming)
    suspension_.Control = config_.State();
  config_.SetState(csForcedOff);
  if (!resuming)
    suspension_.State = state.ModeState;
}

void TStationRuntime::ResumeAfterDialog() {
  if (closed_)
    return;
  resumePending_ = true;
  // The dialog's previews end with it.
  filePlayer_->Stop();
  if (suspension_.Laptop &&
      (suspension_.Mode == rmSimplexRepeater || suspension_.Mode == rmBeaconStation))
    station_->Modes().ChangeMode(suspension_.Mode);
  if (recordThread_->State() != TRecorderControl::TState::Playing) {
    FinishResume();
    return;
  }
  // The end of the stopped playback reaches the engine first, before the state returns.
  recordThread_->StopPlay();
  QMetaObject::invokeMethod(this, &TStationRuntime::FinishResume, Qt::QueuedConnection);
}

void TStationRuntime::FinishResume() {
  if (closed_ || !std::exchange(resumePending_, false))
    return;
  config_.SetState(suspension_.Control);
  const int saved = suspension_.State;
  station_->Engine().SetState(TSender::Station,
                              saved >= msForcedOn && saved <= msListen ? saved : msDefault);
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

bool TStationRuntime::SavePreferences(const TPreferences& preferences,
                                      const std::function<void(TConfig&)>& alsoWrite) {
  const TPreferences before = TPreferences::Read(config_);
  const bool written = config_.WriteTogether([&] {
    preferences.Write(config_);
    if (alsoWrite)
      alsoWrite(config_);
  });
  if (!written) {
    // The file is as it was: the settings in memory go back to it, and a replace with the same
    // content is not even tried.
    config_.IniFile().Batch([&] { before.Write(config_); });
    return false;
  }
  const QString recordings =
      config_.LogPath().isEmpty() ? config_.DefaultLogPath() : config_.LogPath();
  if (!QDir().mkpath(recordings))
    messages_.ShowError(QStringLiteral("Unable to create the folder %1").arg(recordings));
  return true;
}

void TStationRuntime::ApplyPreferences(bool saved) {
  ApplyToneSettings();
  if (!saved)
    return;
  ApplyRecordingFormat();
  station_->Display().UpdateCaptions();
  station_->FollowRemotePath();
  for (auto& trace : traces_)
    trace->RefreshFromSettings();
  // The VOX trace of the mode may have changed.
  FollowMode();
}

QString TStationRuntime::TestCW(const QString& text, int volume, int speed, int frequency) {
  if (closed_ || text.isEmpty())
    return {};
  filePlayer_->Stop();
  // Before the new tone settings: the end of the last test puts back the stored ones.
  station_->StopCWTest();
  if (QString refusal = station_->CWTestRefusal(); !refusal.isEmpty())
    return refusal;
  TRadioRecorder& recorder = recordThread_->Recorder();
  if (frequency > 0)
    recorder.SetFrequency(frequency);
  if (speed > 0)
    recorder.SetElementLength(CWElementTimeFor(speed));
  if (volume > 0)
    recorder.SetVolume(volume);
  QString error = station_->PlayCWTest(text);
  // When nothing plays, the stored tone settings come back at once.
  if (recordThread_->State() != TRecorderControl::TState::Playing)
    ApplyToneSettings();
  return error;
}

void TStationRuntime::FollowMode() {
  for (auto& trace : traces_)
    trace->SetMode(State().Mode);
  emit ModeChanged(State().Mode, State().SchedulerOn);
  KeepDtmfCapture();
}

void TStationRuntime::ApplyToneSettings() {
  TRadioRecorder& recorder = recordThread_->Recorder();
  recorder.SetFrequency(config_.CWFrequency());
  recorder.SetElementLength(config_.CWElementTime());
  recorder.SetVolume(config_.CWVolume());
}

void TStationRuntime::SetPeakSpeed(int ms) { config_.SetPeakSpeed(ms); }

void TStationRuntime::SettingChanged(const QString& section, const QString& key) {
  if (section != QLatin1String("Audio"))
    return;
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

void TStationRuntime::AnswerTraceWarning(bool dontShowAgain) {
  vox_->AnswerTraceWarning(dontShowAgain);
}

void TStationRuntime::CheckTraceAssignment() { vox_->PostCheckTraces(true); }

void TStationRuntime::SelectGeneralPage(TGeneralPage page) {
  station_->Modes().SetActivePage(page);
}

void TStationRuntime::SelectParamsTab(int tab) { station_->Modes().SetParamsTab(tab); }

QString TStationRuntime::PreviewBeaconFile(const QString& path) {
  // A laptop does not play and record at the same time.
  const bool holdCapture = config_.IsLaptop() && State().Mode == rmBeaconStation;
  // The end of a preview that this one cuts off does not start the capture again.
  previewHoldsCapture_ = false;
  if (holdCapture)
    soundCard_->StopCapture();
  connect(&FilePlayer(), &TWavFilePlayer::Finished, this, &TStationRuntime::EndPreview,
          Qt::UniqueConnection);
  const QString message = FilePlayer().Play(path);
  previewHoldsCapture_ = holdCapture;
  if (!message.isEmpty())
    EndPreview();
  return message;
}

void TStationRuntime::EndPreview() {
  if (!std::exchange(previewHoldsCapture_, false) || closed_)
    return;
  // A station that took the device over stops and starts capture by itself.
  if (config_.IsLaptop() && State().Mode == rmBeaconStation &&
      recordThread_->State() != TRecorderControl::TState::Playing) {
    recordThread_->StopRecord();
    soundCard_->StartCapture();
  }
}

void TStationRuntime::Tick(TStationTimer timer) {
  switch (timer) {
    case TStationTimer::Vox:
      vox_->VoxTimerTick();
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

void TStationRuntime::HoldTimers() {
  voxTimer_.stop();
  refreshTimer_.stop();
  station_->ClockTasks().StopTimer();
  transmitter_.HoldWatchdogTimer();
}

void TStationRuntime::RefreshTick() {
  if (refreshing_) {
    emit RefreshOverflowed();
    return;
  }
  refreshing_ = true;
  for (auto& trace : traces_)
    trace->DisplayTick();
  for (auto& trace : traces_)
    trace->AgcTick();
  refreshing_ = false;
}

void TStationRuntime::StartCapture() {
  BeginCapture();
  recorderCapture_ = Capturing();
  snapshotFeed_->Update();
}

void TStationRuntime::BeginCapture() {
  if (!soundCard_->HasRecordingLine()) {
    station_->Display().ShowError(QStringLiteral("The WaveIn devices are not found"));
    return;
  }
  soundCard_->StartCapture();
}

void TStationRuntime::StopCapture() { soundCard_->StopCapture(); }

void TStationRuntime::KeepDtmfCapture() {
  if (role_ == TStationRole::Service && State().Mode == rmInternetRepeater && dtmf_->Enabled() &&
      !Capturing())
    BeginCapture();
}

bool TStationRuntime::TransmitterKeyed() const { return transmitter_.Keyed(); }

const TWaveFormat& TStationRuntime::RecordingFormat() const {
  return recordThread_->Recorder().RecordingFormat();
}

QString TStationRuntime::LastRecording() const { return recordThread_->Recorder().LastRecording(); }

QStringList TStationRuntime::RecordingsInUse() {
  QStringList files;
  const TRadioRecorder& recorder = recordThread_->Recorder();
  const TRecorderControl::TState state = recordThread_->State();
  if (state == TRecorderControl::TState::Recording && recorder.SaveToFile())
    files << recorder.LastRecording();
  if (state == TRecorderControl::TState::Playing && !recorder.FileName().isEmpty())
    files << recorder.FileName();
  if (!FilePlayer().File().isEmpty())
    files << FilePlayer().File();
  return files;
}

bool TStationRuntime::Inhibit() const { return State().Inhibit; }

TRepeaterMode TStationRuntime::Mode() const { return State().Mode; }

void TStationRuntime::SetState(int request) {
  station_->Engine().SetState(TSender::Trace, request);
}

}  // namespace tarvok
