#include "core/station/trace_source.h"

#include <algorithm>

#include "core/audio/level_poller.h"
#include "core/audio/sound_card.h"
#include "core/audio/sound_card_listing.h"
#include "core/common/level_conversion.h"
#include "core/config/config.h"
#include "core/station/station_state.h"

namespace tarvok {

namespace {

QString TraceName(int traceIndex) {
  return QLatin1String(traceIndex == TTraceSource::kUpper ? "Upper Trace" : "Lower Trace");
}

}  // namespace

TTraceSource::TTraceSource(int traceIndex, TConfig& config, const TClock& clock, QObject* parent)
    : QObject(parent),
      traceIndex_(traceIndex),
      config_(config),
      clock_(clock),
      lineStore_(config.IniFile()) {
  meter_.SetCount(1);
}

void TTraceSource::Initialize(TSoundCard* card, TLevelPoller* poller) {
  if (initialized_)
    return;
  headerLabel_ = QStringLiteral("Select Sound Card Device to connect to ") + TraceName(traceIndex_);
  if (card == nullptr || poller == nullptr)
    return;
  card_ = card;
  poller_ = poller;
  initialized_ = true;
  scope_.SetCount(kScopePoints);
  volumeObject_ = card_->AddMixerControl();
  peakObject_ = card_->AddMixerControl();
  BindSlot();
  traceDisabled_ = config_.DisableSource(traceIndex_);
  peakMeterDisabled_ = config_.DisablePeakMeter(traceIndex_);
  signed_ = config_.SignalSigned(traceIndex_);
  for (int i = 0; i < card_->DeviceCount(); ++i)
    mixerNames_ << card_->DeviceName(i);
  selectedMixer_ = mixerNames_.isEmpty() ? -1 : 0;
  connect(card_, &TSoundCard::ControlChanged, this, &TTraceSource::MixerChanged);
  // Lines that come or go renumber the list; the stored device name finds the line again.
  connect(card_, &TSoundCard::LinesChanged, this, [this] {
    FillSources();
    ApplySource();
    FollowDevice();
  });
  FillSources();
  agc_.ResetTime();
  ApplySource();
}

void TTraceSource::ChooseMixer(int index) {
  if (!initialized_ || index < 0 || index >= mixerNames_.size())
    return;
  selectedMixer_ = index;
  FillSources();
  ApplySource();
}

void TTraceSource::FillSources() {
  sources_.clear();
  const bool voxOnly = config_.ShowVOXOnly();
  for (int line = 0; line < card_->LineCount(); ++line) {
    if (voxOnly && card_->FindControl(line, kControlPeakMeter) < 0)
      continue;
    sources_.push_back({SourceEntryText(*card_, line), line});
  }
  SelectSourceFromSettings();
}

void TTraceSource::SelectSourceFromSettings() {
  if (!initialized_)
    return;
  const bool bound = !boundKey_.isEmpty();
  const int line =
      bound ? card_->LineIndexOfKey(boundKey_)
            : lineStore_.ResolveLine(traceIndex_, *card_, config_.SourceIndex(traceIndex_));
  // Entries are in line order, so a line that is not listed (or SourceIndex 0) falls back to the
  // first entry, but never another device than the bound one.
  selectedSource_ = sources_.empty() || bound ? -1 : 0;
  for (std::size_t i = 0; i < sources_.size(); ++i) {
    if (sources_[i].Line == line)
      selectedSource_ = static_cast<int>(i);
  }
  const int selected = SelectedLine();
  if (selected >= 0) {
    boundKey_ = card_->LineKeys()[selected];
    boundName_ = card_->LineNames()[selected];
  }
}

void TTraceSource::FollowDevice() {
  // A lost sound server takes every device along; the card reports that itself.
  if (card_->ServerLost())
    return;
  const bool absent = !boundKey_.isEmpty() && SelectedLine() < 0;
  if (absent == deviceAbsent_)
    return;
  deviceAbsent_ = absent;
  emit DeviceReport(
      absent ? QStringLiteral("The device of the %1 is gone (%2); the trace is silent until it "
                              "comes back.")
                   .arg(TraceName(traceIndex_), boundName_)
             : QStringLiteral("The device of the %1 is back (%2).")
                   .arg(TraceName(traceIndex_), boundName_));
}

int TTraceSource::SelectedLine() const {
  return selectedSource_ >= 0 ? sources_[static_cast<std::size_t>(selectedSource_)].Line : -1;
}

bool TTraceSource::SelectedLineIsOutput() const {
  const int line = SelectedLine();
  return line >= 0 && card_->LinePlayback().Items(line);
}

void TTraceSource::ChooseSource(int entry) {
  if (!initialized_ || entry < 0 || entry >= static_cast<int>(sources_.size()))
    return;
  selectedSource_ = entry;
  const int line = SelectedLine();
  boundKey_ = card_->LineKeys()[line];
  boundName_ = card_->LineNames()[line];
  deviceAbsent_ = false;
  config_.SetSourceIndex(traceIndex_, line);
  lineStore_.StoreLine(traceIndex_, *card_, line);
  ApplySource();
  emit TraceCheckRequested();
}

void TTraceSource::ChooseLine(int line) {
  for (std::size_t i = 0; i < sources_.size(); ++i) {
    if (sources_[i].Line == line) {
      ChooseSource(static_cast<int>(i));
      return;
    }
  }
}

void TTraceSource::ApplySource() {
  if (!initialized_)
    return;
  if (volumeObject_ >= 0 && peakObject_ >= 0) {
    // Binding line -1 (an empty list) releases what the objects held.
    const int line = SelectedLine();
    volumeControl_ = card_->FindControl(line, kControlVolume);
    peakControl_ = card_->FindControl(line, kControlPeakMeter);
    card_->BindMixerControl(volumeObject_, line, volumeControl_, false);
    card_->BindMixerControl(peakObject_, line, peakControl_, true);
    if (VolumeVisible())
      SetFaderFromMixer();
    bounds_ = peakControl_ >= 0 ? MeterBoundsText(card_->ControlMaximum(peakObject_)) : QString();
    TMixerControlObject& peak = card_->MixerControls().Items(peakObject_);
    peak.SetSigned(signed_);
    peak.SetAveragingMode(static_cast<std::uint8_t>(config_.Average()));
    scope_.Clear();
    meter_.Clear();
  }
  UpdateLevels();
  emit ControlsChanged();
}

QString TTraceSource::GroupCaption() const {
  return QLatin1Char(' ') + TraceName(traceIndex_) + QLatin1String(isVoxTrace_ ? " (VOX)" : "") +
         QLatin1String("  ");
}

QString TTraceSource::HeaderCaption() const {
  QString caption = QStringLiteral("    ");
  const int line = SelectedLine();
  if (line >= 0)
    caption += QLatin1String(SelectedLineIsOutput() ? "out: " : "rec: ") + card_->LineNames()[line];
  return caption + QLatin1String("  ");
}

void TTraceSource::UpdateLevels() {
  levels_.SetPeakMax(peakObject_ >= 0 ? card_->ControlMaximum(peakObject_) : 0);
  RedrawLines();
  if (poller_ == nullptr)
    return;
  if (traceIndex_ == kUpper) {
    poller_->SetVoxThreshold(
        DecibelsToLevel(static_cast<double>(levels_.ThresholdLevel()) + levels_.NoiseLevel()));
  } else {
    poller_->SetOtherThreshold(DecibelsToLevel(levels_.NoiseLevel()));
  }
}

void TTraceSource::SetMode(int mode) {
  isVoxTrace_ = mode >= 0 && mode < kModeCount && config_.VOXControl(mode) == traceIndex_;
  BindSlot();
  emit ControlsChanged();
}

void TTraceSource::BindSlot() {
  if (poller_ == nullptr)
    return;
  if (isVoxTrace_)
    poller_->SetVoxIndex(peakObject_);
  else
    poller_->SetOtherIndex(peakObject_);
}

bool TTraceSource::SignalPresent() const {
  if (poller_ == nullptr)
    return false;
  return isVoxTrace_ ? poller_->VoxPresent() : poller_->OtherPresent();
}

std::optional<int> TTraceSource::VoxRequest() const {
  if (!HasPeakMeter() || levels_.DbRange() == 0)
    return msDefault;
  switch (config_.State()) {
    case csVox:
      return SignalPresent() ? msSignal : msNoSignal;
    case csForcedOn:
      return msForcedOn;
    case csForcedOff:
      return msForcedOff;
    default:
      return std::nullopt;
  }
}

void TTraceSource::Change(TTraceChange change, int value) {
  const bool on = value != 0;
  switch (change) {
    case TTraceChange::Mixer:
      ChooseMixer(value);
      break;
    case TTraceChange::Source:
      ChooseSource(value);
      break;
    case TTraceChange::Volume:
      ChangeVolume(value);
      break;
    case TTraceChange::Signed:
      SetSigned(on);
      break;
    case TTraceChange::TraceDisabled:
      SetTraceDisabled(on);
      break;
    case TTraceChange::PeakMeterDisabled:
      SetPeakMeterDisabled(on);
      break;
    case TTraceChange::GainControl:
      SetGainControl(on);
      break;
  }
}

TTraceReading TTraceSource::Reading() const {
  TTraceReading reading;
  reading.Threshold = levels_.ThresholdRaw();
  reading.Maximum = levels_.PeakMax();
  reading.Vox = isVoxTrace_;
  if (peakObject_ >= 0 && card_ != nullptr) {
    reading.Level = card_->MixerControls().Items(peakObject_).Level();
    reading.Signal = SignalPresent();
  }
  return reading;
}

bool TTraceSource::DisplayTick() {
  if ((traceDisabled_ && peakMeterDisabled_) || peakObject_ < 0 || scope_.Height() <= 0)
    return false;
  lastLevel_ = card_->MixerControls().Items(peakObject_).Level();
  const int y = levels_.LevelPosition(lastLevel_, config_.TrayScale() == 1, scope_.Height());
  bool changed = false;
  if (!traceDisabled_)
    changed = scope_.AddPoint(y);
  if (!peakMeterDisabled_)
    changed = meter_.AddPoint(y) || changed;
  return changed;
}

void TTraceSource::AgcTick() {
  // Without a volume control there is nothing to move.
  if (peakObject_ < 0 || !VolumeVisible())
    return;
  TAgcInput input;
  input.Enabled = config_.AgcEnabled(traceIndex_);
  input.SignalPresent = SignalPresent();
  input.Level = card_->MixerControls().Items(peakObject_).Level();
  input.LinearScale = config_.AgcScale(traceIndex_) == 1;
  input.Levels = config_.Agc(traceIndex_);
  input.Position = volumePosition_;
  if (const std::optional<int> position = agc_.Tick(input, clock_)) {
    volumePosition_ = *position;
    ApplyVolume();
    emit ControlsChanged();
  }
}

void TTraceSource::MarkRecording(bool on) {
  if (peakObject_ >= 0)
    card_->MixerControls().Items(peakObject_).SetRecording(on);
}

void TTraceSource::RefreshFromSettings() {
  if (initialized_) {
    // Saved preferences may name another line: the settings decide again.
    boundKey_.clear();
    deviceAbsent_ = false;
    FillSources();
    ApplySource();
  }
  agc_.ResetTime();
  RedrawLines();
  emit ControlsChanged();
}

void TTraceSource::MixerChanged(quint32 controlId) {
  if (volumeObject_ < 0 || !VolumeVisible())
    return;
  const TMixerControlObject& volume = card_->MixerControls().Items(volumeObject_);
  if (!volume.Valid() || volume.Control().Id != controlId)
    return;
  SetFaderFromMixer();
  emit ControlsChanged();
}

void TTraceSource::SetFaderFromMixer() {
  volumePosition_ = FaderFromMixer(card_->GetControlValue(volumeObject_));
}

void TTraceSource::ChangeVolume(int position) {
  volumePosition_ = std::clamp(position, 0, kFaderMaximum);
  ApplyVolume();
}

void TTraceSource::ApplyVolume() {
  if (volumeObject_ >= 0 && VolumeVisible())
    card_->SetControlValue(volumeObject_, MixerFromFader(volumePosition_));
}

void TTraceSource::SetSigned(bool on) {
  signed_ = on;
  config_.SetSignalSigned(traceIndex_, on);
  if (peakObject_ >= 0)
    card_->MixerControls().Items(peakObject_).SetSigned(on);
}

void TTraceSource::SetTraceDisabled(bool on) {
  traceDisabled_ = on;
  config_.SetDisableSource(traceIndex_, on);
  if (on)
    scope_.Clear();
  emit ControlsChanged();
}

void TTraceSource::SetPeakMeterDisabled(bool on) {
  peakMeterDisabled_ = on;
  config_.SetDisablePeakMeter(traceIndex_, on);
  if (on)
    meter_.Clear();
  emit ControlsChanged();
}

bool TTraceSource::GainControl() const { return config_.AgcEnabled(traceIndex_); }

void TTraceSource::SetGainControl(bool on) {
  config_.SetAgcEnabled(traceIndex_, on);
  RedrawLines();
}

void TTraceSource::SetDisplaySize(int scopeWidth, int meterWidth, int height) {
  scope_.SetSize(scopeWidth, height);
  meter_.SetSize(meterWidth, height);
  RedrawLines();
}

int TTraceSource::LinePosition(int db) const {
  const int height = scope_.Height();
  if (config_.TrayScale() == 1)
    return levels_.LinearPosition(DecibelsToLevel(db), height);
  return levels_.LogPosition(db, height);
}

void TTraceSource::RedrawLines() {
  const int threshold = LinePosition(levels_.ThresholdLevel());
  int agcLow = -1;
  int agcHigh = -1;
  if (GainControl()) {
    const TAgcLevels& agc = config_.Agc(traceIndex_);
    agcLow = LinePosition(agc.LowDB - levels_.NoiseLevel());
    agcHigh = LinePosition(agc.HighDB - levels_.NoiseLevel());
  }
  for (TLevelHistory* panel : {&scope_, &meter_}) {
    panel->SetThresholdY(threshold);
    panel->SetAgcLowY(agcLow);
    panel->SetAgcHighY(agcHigh);
  }
  emit LinesChanged();
}

std::vector<TScaleLabel> TTraceSource::ScaleLabels() const {
  std::vector<TScaleLabel> labels{
      {scope_.Height() - 1, levels_.NoiseLevel()},
      {0, 90},
      {scope_.ThresholdY(), levels_.ThresholdLevel() + levels_.NoiseLevel()}};
  if (GainControl()) {
    const TAgcLevels& agc = config_.Agc(traceIndex_);
    labels.push_back({scope_.AgcLowY(), agc.LowDB});
    labels.push_back({scope_.AgcHighY(), agc.HighDB});
  }
  return labels;
}

}  // namespace tarvok
