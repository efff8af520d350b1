#include "gui/dtmf/equalizer_view.h"

#include <QPainter>
#include <QPolygon>

#include "core/dtmf/dtmf_block_processor.h"

namespace tarvok {

namespace {

constexpr int kBands = TDigitalFilter::kBands;
constexpr int kStepRange = 20;  // from step -10 at the bottom to 10 at the top

QString FrequencyLabel(int hz) {
  return hz >= 1000 ? QStringLiteral("%1K").arg(hz / 1000) : QString::number(hz);
}

}  // namespace

TEqualizerView::TEqualizerView(const TDtmfBlockProcessor& dtmf, QWidget* parent)
    : QWidget(parent), dtmf_(dtmf) {
  setObjectName(QStringLiteral("EqualizerSpectrumPanel"));
  setMinimumHeight(80);
  connect(&dtmf_, &TDtmfBlockProcessor::EqualizerChanged, this, qOverload<>(&QWidget::update));
}

int TEqualizerView::BandX(int band, int width) {
  const int step = width / kBands;
  return band * step + (width - kBands * step + step) / 2;
}

int TEqualizerView::StepY(int step, int height) {
  const int h = height - 1;
  return h / 2 - step * h / kStepRange;
}

void TEqualizerView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  const int w = width();
  const int h = height() - 1;
  for (int band = 0; band < kBands; ++band)
    painter.fillRect(BandX(band, w), 0, 1, h, kGridColor);
  painter.fillRect(0, h / 2, w, 1, kGridColor);

  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(kGridColor);
  const int labelWidth = w / kBands;
  const QRect labels(0, h - painter.fontMetrics().height(), labelWidth,
                     painter.fontMetrics().height());
  painter.drawText(labels.translated(BandX(0, w) - labelWidth / 2, 0), Qt::AlignCenter,
                   FrequencyLabel(0));
  painter.drawText(labels.translated(BandX(kBands - 1, w) - labelWidth / 2, 0), Qt::AlignCenter,
                   FrequencyLabel(TDtmfDetector::kSampleRate / 2));

  QPolygon curve;
  for (int band = 0; band < kBands; ++band)
    curve << QPoint(BandX(band, w), StepY(dtmf_.Filter().GainStep(band), height()));
  painter.setPen(kCurveColor);
  painter.drawPolyline(curve);
  painter.drawPolyline(curve.translated(0, 1));
}

}  // namespace tarvok
