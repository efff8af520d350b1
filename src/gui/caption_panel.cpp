#include "gui/caption_panel.h"

#include <QPainter>

#include "gui/window_style.h"

namespace tarvok {

TCaptionPanel::TCaptionPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TopPanel"));
  setFont(CaptionFont());
}

void TCaptionPanel::SetCaption(const QString& caption) {
  caption_ = caption;
  update();
}

QSize TCaptionPanel::sizeHint() const { return {520, fontMetrics().height() + 8}; }

void TCaptionPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(Qt::gray);
  painter.drawText(rect().translated(1, 1), Qt::AlignCenter, caption_);
  painter.setPen(Qt::black);
  painter.drawText(rect(), Qt::AlignCenter, caption_);
}

}  // namespace tarvok
