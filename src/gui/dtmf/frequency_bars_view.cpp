#include "gui/dtmf/frequency_bars_view.h"

#include <QPainter>
#include <algorithm>

#include "core/dtmf/dtmf_block_processor.h"
#include "gui/window_style.h"

namespace tarvok {

namespace {

const QColor kBackColor = Qt::black;

}  // namespace

TFrequencyBarsView::TFrequencyBarsView(const TDtmfBlockProcessor& dtmf, QWidget* parent)
    : QWidget(parent), dtmf_(dtmf) {
  setObjectName(QStringLiteral("SpectrumPanel"));
  setToolTip(QStringLiteral("Frequency Spectrum"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumHeight(60);
  connect(&dtmf_, &TDtmfBlockProcessor::SpectrumChanged, this, qOverload<>(&QWidget::update));
  connect(&dtmf_, &TDtmfBlockProcessor::SettingsChanged, this, qOverload<>(&QWidget::update));
}

int TFrequencyBarsView::FrequencyX(int frequency, int width) {
  return frequency * width / TDtmfDetector::kDisplayMaxFreq;
}

void TFrequencyBarsView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackColor);
  if (!dtmf_.Enabled() || !dtmf_.SpectrumEnabled())
    return;
  const int w = width();
  const int h = height();
  const auto& levels = dtmf_.Spectrum();
  const int scale = TDtmfDetector::kDisplayScale;
  // The markers behind the bars: a tone's bar stands on its marker.
  for (int group = 0; group < TDtmfDetector::kGroups; ++group) {
    for (const int frequency : TDtmfDetector::kTones[static_cast<std::size_t>(group)])
      painter.fillRect(FrequencyX(frequency, w), 2, 1, h - 2,
                       group == 0 ? kHighToneColor : kLowToneColor);
  }
  for (int x = 0; x < w; ++x) {
    // A column narrower than a bin shows its bin; a wider one the highest of its bins, so that a
    // tone is seen at any width.
    const int first = x * TDtmfDetector::kDisplayBins / w;
    const int last = std::max(first + 1, (x + 1) * TDtmfDetector::kDisplayBins / w);
    const int level = *std::max_element(levels.begin() + first, levels.begin() + last);
    const int top = h - level * h / scale;
    if (top < h)
      painter.fillRect(x, top, 1, h - top, kBarColor);
  }
  painter.fillRect(0, h - dtmf_.Filter().Level() * h / scale, w, 1, kThresholdLineColor);
}

}  // namespace tarvok
