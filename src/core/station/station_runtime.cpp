#include "core/station/station_runtime.h"

#include <QCoreApplication>

#include "core/config/config.h"
#include "core/station/control_choices.h"

namespace tarvok {

TStationRuntime::TStationRuntime(TConfig& config, const TClock& clock,
                                 std::unique_ptr<TSoundBackend> backend, TUserMessages& messages,
                                 TTraceCheckPrompts& prompts, QObject* parent)
    : QObject(parent), config_(config), clock_(clock) {
  soundCard_ = std::make_unique<TSoundCard>(std::move(backend));
  poller_ = std::make_unique<TLevelPoller>(*soundCard_);
  recordThread_ = std::make_unique<TRecordThread>(soundCard_->Backend(), messages, config_, clock_);
  dtmf_ = std::make_unique<TDtmfBlockProcessor>(config_, clock_);
  station_ = std::make_unique<TStation>(config_, clock_, *recordThread_, *soundCard_, *poller_);
  TStatusDisplay& display = station_->Display();
  connect(soundCard_.get(), &TSoundCard::Error, &display, &TStatusDisplay::ShowError);
  connect(soundCard_.get(), &TSoundCard::Debug, this, [this](const QString& text) {
    if (config_.Debug())
      config_.WriteDebugLog(text);
  });
  ConnectRecorder();
  ApplyRecordingFormat();
  CreateTraces(prompts);
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
  const int peakSpeedChoice = ChoiceIndex(PeakSpeedChoices(), config_.PeakSpeed());
  refreshTimer_.setInterval(peakSpeedChoice < 0 ? kDefaultRefreshInterval : config_.PeakSpeed());
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
  TDtmfBlockProcessor* dtmf = dtmf_.get();
  recorder.SetOnData([dtmf](std::span<std::byte> block) { dtmf->RecordedBlock(block); });
  connect(station_.get(), &TStation::RecordingMarked, this, [this](bool recording) {
    for (auto& trace : traces_)
      trace->MarkRecording(recording);
  });
}

void TStationRuntime::CreateTraces(TTraceCheckPrompts& prompts) {
  for (int index : {TTraceSource::kUpper, TTraceSource::kLower}) {
    auto trace = std::make_unique<TTraceSource>(index, config_, clock_);
    trace->SetNoiseLevel(config_.NoiseLevel());
    trace->SetThreshold(config_.ThresholdLevel());
    trace->Initialize(soundCard_.get(), poller_.get());
    traces_[static_cast<std::size_t>(index)] = std::move(trace);
  }
  for (auto& trace : traces_)
    trace->SetMode(station_->State().Mode);
  // Every mode change updates the captions; the traces follow the mode with them.
  connect(&station_->Display(), &TStatusDisplay::CaptionChanged, this, [this] {
    for (auto& trace : traces_)
      trace->SetMode(station_->State().Mode);
  });
  vox_ = std::make_unique<TVoxControl>(config_, *poller_, Trace(TTraceSource::kUpper),
                                       Trace(TTraceSource::kLower), static_cast<TVoxEngine&>(*this),
                                       prompts);
  connect(station_.get(), &TStation::CheckTracesRequested, vox_.get(),
          [this] { vox_->CheckTraces(true); });
}

void TStationRuntime::Start() {
  ApplyToneSettings();
  voxTimer_.setInterval(config_.VoxTimer());
  voxTimer_.start();
  station_->Start();
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
  SaveLevels();
  dtmf_->SetClosing();
  QCoreApplication::processEvents();
  station_->Close();
  // A beacon or message on the air ends with the station.
  recordThread_->StopPlay();
  recordThread_->StopRecord();
  soundCard_->StopCapture();
  QCoreApplication::processEvents();
  poller_->Terminate();
  config_.SetPTT(false);
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

void TStationRuntime::SuspendForDialog() {
  const TStationState& state = station_->State();
  suspension_.Mode = state.Mode;
  suspension_.Laptop = config_.IsLaptop();
  if (suspension_.Laptop && (state.Mode == rmSimplexRepeater || state.Mode == rmBeaconStation))
    station_->Modes().ChangeMode(rmInternetRepeater);
  suspension_.Control = config_.State();
  config_.SetState(csForcedOff);
  suspension_.State = state.ModeState;
}

void TStationRuntime::ResumeAfterDialog() {
  if (suspension_.Laptop &&
      (suspension_.Mode == rmSimplexRepeater || suspension_.Mode == rmBeaconStation))
    station_->Modes().ChangeMode(suspension_.Mode);
  if (recordThread_->State() == TRecorderControl::TState::Playing) {
    recordThread_->StopPlay();
    QCoreApplication::processEvents();
  }
  config_.SetState(suspension_.Control);
  const int saved = suspension_.State;
  station_->Engine().SetState(TSender::Station,
                              saved >= msForcedOn && saved <= msListen ? saved : msDefault);
}

void TStationRuntime::ApplyRecordingFormat() {
  TRadioRecorder& recorder = recordThread_->Recorder();
  if (station_->State().Mode == rmSimplexRepeater) {
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

void TStationRuntime::PreferencesClosed(bool saved) {
  ApplyToneSettings();
  if (!saved)
    return;
  ApplyRecordingFormat();
  station_->Display().UpdateCaptions();
  for (auto& trace : traces_)
    trace->RefreshFromSettings();
}

void TStationRuntime::ApplyToneSettings() {
  TRadioRecorder& recorder = recordThread_->Recorder();
  recorder.SetFrequency(config_.CWFrequency());
  recorder.SetElementLength(config_.CWElementTime());
  recorder.SetVolume(config_.CWVolume());
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
  if (!soundCard_->HasRecordingLine()) {
    station_->Display().ShowError(QStringLiteral("The WaveIn devices are not found"));
    return;
  }
  if (soundCard_->StartCapture())
    emit CaptureChanged();
}

void TStationRuntime::StopCapture() {
  soundCard_->StopCapture();
  emit CaptureChanged();
}

bool TStationRuntime::Inhibit() const { return station_->State().Inhibit; }

TRepeaterMode TStationRuntime::Mode() const { return station_->State().Mode; }

void TStationRuntime::SetState(int request) {
  station_->Engine().SetState(TSender::Trace, request);
}

}  // namespace tarvok
