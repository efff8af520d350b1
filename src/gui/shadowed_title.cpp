#include "gui/shadowed_title.h"

#include <QPainter>
#include <cstdlib>

#include "gui/window_style.h"

namespace tarvok {

TShadowedTitle::TShadowedTitle(const QString& text, QPoint shadowOffset, QWidget* parent)
    : QWidget(parent), text_(text), shadowOffset_(shadowOffset) {
  setFont(CaptionFont());
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TShadowedTitle::SetText(const QString& text) {
  text_ = text;
  updateGeometry();
  update();
}

QSize TShadowedTitle::sizeHint() const {
  const QSize text = fontMetrics().size(Qt::TextSingleLine, text_);
  return text + QSize(std::abs(shadowOffset_.x()), std::abs(shadowOffset_.y())) + QSize(8, 4);
}

void TShadowedTitle::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setPen(Qt::gray);
  painter.drawText(rect().translated(shadowOffset_), Qt::AlignCenter, text_);
  painter.setPen(Qt::black);
  painter.drawText(rect(), Qt::AlignCenter, text_);
}

}  // namespace tarvok
