#include "gui/dtmf/filter_page.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "core/dtmf/dtmf_block_processor.h"
#include "core/station/station_runtime.h"
#include "gui/dtmf/equalizer_view.h"

namespace tarvok {

namespace {

constexpr int kMaxGainStep = 10;
constexpr int kMaxScaleStep = 20;

QSlider* StepBar(int maximum, QWidget* parent) {
  auto* bar = new QSlider(Qt::Vertical, parent);
  bar->setRange(-maximum, maximum);
  bar->setPageStep(1);
  bar->setTickPosition(QSlider::TicksBothSides);
  return bar;
}

}  // namespace

TFilterPage::TFilterPage(TStationRuntime& station, QWidget* parent)
    : QWidget(parent), station_(station), dtmf_(station.Dtmf()) {
  setObjectName(QStringLiteral("FilterPage"));
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  enabled_ = new QCheckBox(QStringLiteral("Filter Enabled"), this);
  enabled_->setObjectName(QStringLiteral("cboFilterEnable"));
  connect(enabled_, &QCheckBox::clicked, this,
          [this](bool on) { station_.ChangeDtmf(TDtmfChange::Filter, on); });
  auto* reset = new QPushButton(QStringLiteral("Reset"), this);
  reset->setObjectName(QStringLiteral("btnReset"));
  connect(reset, &QPushButton::clicked, this, [this] { station_.ResetDtmfEqualizer(); });
  buttons->addWidget(enabled_);
  buttons->addStretch(1);
  buttons->addWidget(reset);
  layout->addLayout(buttons);

  auto* equalizer = new QHBoxLayout;
  scaleBar_ = StepBar(kMaxScaleStep, this);
  scaleBar_->setObjectName(QStringLiteral("FFTScaleBar"));
  scaleBar_->setToolTip(QStringLiteral("FFT Multiple"));
  connect(scaleBar_, &QSlider::actionTriggered, this,
          [this] { station_.ChangeDtmf(TDtmfChange::ScaleStep, scaleBar_->sliderPosition()); });
  equalizer->addWidget(scaleBar_);
  auto* column = new QVBoxLayout;
  column->addWidget(new TEqualizerView(dtmf_, this), 1);
  column->addWidget(CreateEqualizerPanel(), 1);
  equalizer->addLayout(column, 1);
  layout->addLayout(equalizer, 1);

  connect(&dtmf_, &TDtmfBlockProcessor::EqualizerChanged, this, &TFilterPage::Refresh);
  connect(&dtmf_, &TDtmfBlockProcessor::SettingsChanged, this, &TFilterPage::Refresh);
  Refresh();
}

QWidget* TFilterPage::CreateEqualizerPanel() {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("EqualizerPanel"));
  auto* layout = new QHBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (int band = 0; band < TDigitalFilter::kBands; ++band) {
    QSlider* bar = StepBar(kMaxGainStep, panel);
    bar->setObjectName(QStringLiteral("BandBar%1").arg(band));
    bar->setTickPosition(QSlider::NoTicks);
    connect(bar, &QSlider::actionTriggered, this,
            [this, bar, band] { station_.ChangeDtmfGain(band, bar->sliderPosition()); });
    layout->addWidget(bar, 1, Qt::AlignHCenter);
    bandBars_[static_cast<std::size_t>(band)] = bar;
  }
  auto* reset = new QAction(QStringLiteral("&Reset"), panel);
  reset->setObjectName(QStringLiteral("mnuReset"));
  connect(reset, &QAction::triggered, this, [this] { station_.ResetDtmfEqualizer(); });
  panel->addAction(reset);
  panel->setContextMenuPolicy(Qt::ActionsContextMenu);
  return panel;
}

void TFilterPage::Refresh() {
  const TDigitalFilter& filter = dtmf_.Filter();
  const QSignalBlocker blockEnabled(enabled_);
  enabled_->setChecked(dtmf_.FilterEnabled());
  const QSignalBlocker blockScale(scaleBar_);
  scaleBar_->setValue(filter.ScaleStep());
  for (int band = 0; band < TDigitalFilter::kBands; ++band) {
    QSlider* bar = bandBars_[static_cast<std::size_t>(band)];
    const QSignalBlocker blocker(bar);
    bar->setValue(filter.GainStep(band));
  }
}

}  // namespace tarvok
