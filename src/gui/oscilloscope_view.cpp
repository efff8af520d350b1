#include "gui/oscilloscope_view.h"

#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

#include "core/station/level_history.h"
#include "gui/window_style.h"

namespace tarvok {

namespace {

const QColor kBackColor = Qt::black;
const QColor kTraceColor = QColor(0x00, 0xFF, 0x00);

}  // namespace

TOscilloscopeView::TOscilloscopeView(const TLevelHistory& history, QWidget* parent)
    : QWidget(parent), history_(history) {
  // Every pixel is painted: no background to erase first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  connect(&history_, &TLevelHistory::Changed, this, qOverload<>(&QWidget::update));
}

void TOscilloscopeView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackColor);
  const int step = history_.StepWidth();
  int x = 0;
  for (const int y : history_.Points()) {
    // A position at or below the bottom of the history's panel is no bar.
    if (y < history_.Height())
      painter.fillRect(QRect(QPoint(x, std::max(0, y)), QPoint(x + step - 1, height() - 1)),
                       kTraceColor);
    x += step;
  }
  const auto line = [&](int y, const QColor& colour) {
    if (y >= 0)
      painter.fillRect(0, y, width(), 1, colour);
  };
  line(history_.ThresholdY(), kThresholdLineColor);
  line(history_.AgcLowY(), kAgcLineColor);
  line(history_.AgcHighY(), kAgcLineColor);
}

void TOscilloscopeView::resizeEvent(QResizeEvent* event) { emit Resized(event->size()); }

}  // namespace tarvok
