// What views read of the station and the operations they call on it.
#include <utility>

#include "core/audio/record_thread.h"
#include "core/audio/recordings_log.h"
#include "core/audio/sound_card.h"
#include "core/config/config.h"
#include "core/dtmf/dtmf_block_processor.h"
#include "core/station/dialog_suspension.h"
#include "core/station/snapshot_feed.h"
#include "core/station/station.h"
#include "core/station/station_runtime.h"
#include "core/station/trace_source.h"
#include "core/station/transmitter.h"

namespace tarvok {

void TStationRuntime::ChangeMode(TRepeaterMode mode) { station_->Modes().ChangeMode(mode); }

void TStationRuntime::ClickStateButton(TStateButton button) {
  station_->Modes().ClickStateButton(button);
}

void TStationRuntime::ToggleScheduler() { station_->Modes().ToggleScheduler(); }

void TStationRuntime::StartCapture() {
  // Set first: the views hear of the capture while it starts.
  recorderCapture_ = true;
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

QStringList TStationRuntime::RecordingsInUse() const {
  QStringList files;
  const TRadioRecorder& recorder = recordThread_->Recorder();
  const TRecorderControl::TState state = recordThread_->State();
  if (state == TRecorderControl::TState::Recording && recorder.SaveToFile())
    files << recorder.LastRecording();
  if (state == TRecorderControl::TState::Playing && !recorder.FileName().isEmpty())
    files << recorder.FileName();
  if (!preview_->File().isEmpty())
    files << preview_->File();
  return files;
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
  snapshot.HeldByDialog = dialog_->Holding();
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

const TStationState& TStationRuntime::State() const { return station_->State(); }

const TIndicator& TStationRuntime::Indicator() const { return station_->Indicator(); }

bool TStationRuntime::TransmitterKeyed() const { return transmitter_.Keyed(); }

bool TStationRuntime::Capturing() const { return soundCard_->Capturing(); }

bool TStationRuntime::RecorderCapturing() const { return recorderCapture_ && Capturing(); }

const TWaveFormat& TStationRuntime::RecordingFormat() const {
  return recordThread_->Recorder().RecordingFormat();
}

QString TStationRuntime::LastRecording() const { return recordThread_->Recorder().LastRecording(); }

std::int64_t TStationRuntime::CapturedBytes() const { return recordThread_->TotalRecorded(); }

const TModeControl& TStationRuntime::Modes() const { return station_->Modes(); }

const TStatusDisplay& TStationRuntime::Status() const { return station_->Display(); }

const TClockTasks& TStationRuntime::Clock() const { return station_->ClockTasks(); }

QString TStationRuntime::Preview(const QString& file, const QString& cw, const TCWTone& tone) {
  if (closed_)
    return {};
  return preview_->Play(file, cw, tone);
}

void TStationRuntime::StopPreview() { preview_->Stop(); }

bool TStationRuntime::Previewing() const { return preview_->Playing(); }

void TStationRuntime::ChooseComPort(int port) {
  // The device would win over the port number: it goes.
  config_.WriteTogether([&] {
    config_.SetComDevice(QString());
    config_.SetComPort(port);
  });
}

void TStationRuntime::ChooseComDevice(const QString& device) { config_.SetComDevice(device); }

void TStationRuntime::ChooseComPin(int pin) { config_.SetComPin(static_cast<std::uint8_t>(pin)); }

void TStationRuntime::SetTxTimeout(int seconds) { config_.SetTxTimeout(seconds); }

void TStationRuntime::SetTxLockout(int seconds) { config_.SetTxLockout(seconds); }

void TStationRuntime::SetPeakSpeed(int ms) { config_.SetPeakSpeed(ms); }

void TStationRuntime::ApplyVoxEdit(TVoxControl::TEdit edit, const QString& text) {
  vox_->ApplyEdit(edit, text);
}

void TStationRuntime::ChangeTrace(int trace, TTraceChange change, int value) {
  EditTrace(trace).Change(change, value);
}

void TStationRuntime::SetTraceDisplaySize(int trace, int scopeWidth, int meterWidth, int height) {
  EditTrace(trace).SetDisplaySize(scopeWidth, meterWidth, height);
  PostRefresh();
}

bool TStationRuntime::ChangeDtmf(TDtmfChange change, int value) {
  return dtmf_->Change(change, value, State().Mode);
}

void TStationRuntime::ChangeDtmfGain(int band, int step) { dtmf_->SetGainStep(band, step); }

void TStationRuntime::ResetDtmfEqualizer() { dtmf_->ResetEqualizer(); }

void TStationRuntime::ClearDtmfTerminal() { dtmf_->ClearTerminal(); }

QString TStationRuntime::SetRecordingsFolder(const QString& text) {
  return recordings_->SetFolder(text);
}

void TStationRuntime::RelistRecordings() { recordings_->Relist(); }

QString TStationRuntime::DeleteRecording(int index) { return recordings_->Delete(index); }

void TStationRuntime::AnswerTraceWarning(bool dontShowAgain) {
  vox_->AnswerTraceWarning(dontShowAgain);
}

void TStationRuntime::CheckTraceAssignment() { vox_->PostCheckTraces(true); }

void TStationRuntime::SelectGeneralPage(TGeneralPage page) {
  station_->Modes().SetActivePage(page);
}

void TStationRuntime::SelectParamsTab(int tab) { station_->Modes().SetParamsTab(tab); }

}  // namespace tarvok
