#include "gui/scale_view.h"

#include <QPainter>
#include <algorithm>
#include <vector>

#include "core/station/trace_source.h"

namespace tarvok {

namespace {

constexpr int kTickLength = 3;
constexpr int kTextMargin = 4;

}  // namespace

TScaleView::TScaleView(const TTraceSource& trace, QWidget* parent)
    : QWidget(parent), trace_(trace) {
  setFixedWidth(kWidth);
  // Two digits must fit in the 14 pixels left of the margin.
  QFont small = font();
  small.setPixelSize(9);
  setFont(small);
  connect(&trace_, &TTraceSource::LinesChanged, this, qOverload<>(&QWidget::update));
}

void TScaleView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Button));
  painter.setPen(Qt::black);
  const int textHeight = fontMetrics().height();
  std::vector<QRect> drawn;
  for (const TScaleLabel& label : trace_.ScaleLabels()) {
    painter.fillRect(width() - kTickLength, label.Y, kTickLength, 1, Qt::black);
    const int top = std::clamp(label.Y - textHeight / 2, 0, std::max(0, height() - textHeight));
    const QRect box(0, top, width() - kTextMargin, textHeight);
    // A number over another could be read as neither: the one drawn first stays.
    if (std::any_of(drawn.begin(), drawn.end(), [&](const QRect& r) { return r.intersects(box); }))
      continue;
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::number(label.Value));
    drawn.push_back(box);
  }
}

}  // namespace tarvok
