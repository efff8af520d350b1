#include "gui/trace_source_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "core/station/station_runtime.h"
#include "core/station/trace_source.h"
#include "core/station/trace_source_levels.h"
#include "gui/oscilloscope_view.h"

namespace tarvok {

namespace {

constexpr int kVolumeStep = 1640;
constexpr int kMeterWidth = 15;

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

// Refills a list only when its entries changed, so that an open list stays as it is.
void ShowItems(QComboBox& box, const QStringList& items, int selected) {
  QStringList shown;
  for (int i = 0; i < box.count(); ++i)
    shown << box.itemText(i);
  if (shown != items) {
    box.clear();
    box.addItems(items);
  }
  box.setCurrentIndex(selected);
}

}  // namespace

TTraceSourcePage::TTraceSourcePage(TStationRuntime& station, int trace, QWidget* parent)
    : QWidget(parent),
      station_(station),
      trace_(station.Trace(trace)),
      header_(Named(new QLabel(this), "HeaderLabel")),
      mixer_(Named(new QComboBox(this), "cboMixer")),
      source_(Named(new QComboBox(this), "cboSource")),
      signed_(Named(new QCheckBox(QStringLiteral("Signed"), this), "cboSigned")),
      volume_(Named(new QSlider(Qt::Horizontal, this), "VolumeBar")),
      gainControl_(
          Named(new QCheckBox(QStringLiteral("Automatic Gain Control"), this), "cboGainControl")),
      disableTrace_(Named(new QCheckBox(QStringLiteral("Trace"), this), "cboDisableOscilloscope")),
      disableMeter_(
          Named(new QCheckBox(QStringLiteral("Peak Meter"), this), "cboDisablePeakMeter")),
      bounds_(Named(new QLabel(this), "Bounds")),
      meterPanel_(BuildMeter()) {
  auto* headerPanel = Named(new QFrame(this), "HeaderPanel");
  QFont bold = header_->font();
  bold.setBold(true);
  header_->setFont(bold);
  header_->setWordWrap(true);
  (new QVBoxLayout(headerPanel))->addWidget(header_);

  mixer_->setToolTip(QStringLiteral("Mixer Devices"));
  source_->setToolTip(QStringLiteral("Mixer Devices"));
  signed_->setToolTip(QStringLiteral("Signal Signed or Unsigned"));
  volume_->setToolTip(QStringLiteral("Volume Fader"));
  volume_->setRange(0, kFaderMaximum);
  volume_->setSingleStep(kVolumeStep);
  volume_->setPageStep(2 * kVolumeStep);
  volume_->setTickInterval(kVolumeStep);
  volume_->setTickPosition(QSlider::TicksBelow);

  auto* disable = new QHBoxLayout;
  disable->addWidget(disableTrace_);
  disable->addWidget(disableMeter_);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Mixer:"), mixer_);
  form->addRow(QStringLiteral("Source:"), source_);
  form->addRow(QStringLiteral("Signal:"), signed_);
  form->addRow(QStringLiteral("Volume:"), volume_);
  form->addRow(QStringLiteral("Enable:"), gainControl_);
  form->addRow(QStringLiteral("Disable:"), disable);
  form->addRow(QStringLiteral("Peak Bounds:"), bounds_);

  auto* controls = new QVBoxLayout;
  controls->addWidget(headerPanel);
  controls->addLayout(form);
  controls->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(controls, 1);
  layout->addWidget(meterPanel_, 0, Qt::AlignTop);

  const auto change = [this](TTraceChange what) {
    return [this, what](int value) { station_.ChangeTrace(trace_.TraceIndex(), what, value); };
  };
  connect(mixer_, &QComboBox::activated, this, change(TTraceChange::Mixer));
  connect(source_, &QComboBox::activated, this, change(TTraceChange::Source));
  connect(signed_, &QCheckBox::clicked, this, change(TTraceChange::Signed));
  connect(volume_, &QSlider::valueChanged, this, change(TTraceChange::Volume));
  connect(gainControl_, &QCheckBox::clicked, this, change(TTraceChange::GainControl));
  connect(disableTrace_, &QCheckBox::clicked, this, change(TTraceChange::TraceDisabled));
  connect(disableMeter_, &QCheckBox::clicked, this, change(TTraceChange::PeakMeterDisabled));
  connect(&trace_, &TTraceSource::ControlsChanged, this, &TTraceSourcePage::Refresh);
  Refresh();
}

QFrame* TTraceSourcePage::BuildMeter() {
  auto* panel = Named(new QFrame(this), "MeterParentPanel");
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setFixedWidth(kMeterWidth);
  auto* meter = new TOscilloscopeView(trace_.Meter(), panel);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(meter);
  connect(meter, &TOscilloscopeView::Resized, this, [this](QSize size) {
    station_.SetTraceDisplaySize(trace_.TraceIndex(), trace_.Scope().Width(), size.width(),
                                 trace_.Scope().Height());
  });
  connect(&trace_.Meter(), &TLevelHistory::Changed, this, &TTraceSourcePage::FollowScopeHeight);
  return panel;
}

// The meter's positions are placed for the oscilloscope's height, so it takes that height.
void TTraceSourcePage::FollowScopeHeight() {
  const int height = trace_.Meter().Height() + 2 * meterPanel_->frameWidth();
  if (trace_.Meter().Height() > 0 && meterPanel_->maximumHeight() != height)
    meterPanel_->setFixedHeight(height);
}

void TTraceSourcePage::Refresh() {
  const QSignalBlocker blockMixer(mixer_);
  const QSignalBlocker blockSource(source_);
  const QSignalBlocker blockSigned(signed_);
  const QSignalBlocker blockVolume(volume_);
  const QSignalBlocker blockGain(gainControl_);
  const QSignalBlocker blockTrace(disableTrace_);
  const QSignalBlocker blockMeter(disableMeter_);

  header_->setText(trace_.HeaderLabel());
  ShowItems(*mixer_, trace_.MixerNames(), trace_.SelectedMixer());
  QStringList sources;
  for (const TSourceEntry& entry : trace_.Sources())
    sources << entry.Text;
  ShowItems(*source_, sources, trace_.SelectedSource());
  signed_->setChecked(trace_.Signed());
  volume_->setVisible(trace_.VolumeVisible());
  // A fader being dragged stays under the hand.
  if (!volume_->isSliderDown())
    volume_->setValue(trace_.VolumePosition());
  gainControl_->setChecked(trace_.GainControl());
  disableTrace_->setChecked(trace_.TraceDisabled());
  disableMeter_->setChecked(trace_.PeakMeterDisabled());
  bounds_->setText(trace_.Bounds());
}

}  // namespace tarvok
