#include "gui/beacons/schedule_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "core/schedule/time_schedule.h"

namespace tarvok {

namespace {

constexpr int kSize = 16;

void DrawAlarmClock(QPainter& p) {
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(0xC0, 0x80, 0x20));
  p.drawEllipse(QPointF(3.5, 3.5), 2.5, 2.5);
  p.drawEllipse(QPointF(12.5, 3.5), 2.5, 2.5);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(8, 9), 6, 6);
  p.drawLine(QPointF(8, 9), QPointF(8, 5));
  p.drawLine(QPointF(8, 9), QPointF(11, 9));
}

void DrawCross(QPainter& p, bool solid) {
  QPainterPath cross;
  cross.moveTo(2, 4);
  for (const QPointF& point : {QPointF(4, 2), QPointF(8, 6), QPointF(12, 2), QPointF(14, 4),
                               QPointF(10, 8), QPointF(14, 12), QPointF(12, 14), QPointF(8, 10),
                               QPointF(4, 14), QPointF(2, 12), QPointF(6, 8)})
    cross.lineTo(point);
  cross.closeSubpath();
  p.setPen(QPen(Qt::red, 1.2));
  p.setBrush(solid ? QBrush(Qt::red) : QBrush(Qt::white));
  p.drawPath(cross);
}

void DrawArrow(QPainter& p) {
  const QPolygonF arrow({QPointF(1, 6), QPointF(8, 6), QPointF(8, 2), QPointF(15, 8),
                         QPointF(8, 14), QPointF(8, 10), QPointF(1, 10)});
  p.setPen(QPen(Qt::darkGreen, 1));
  p.setBrush(QColor(0x00, 0xC0, 0x00));
  p.drawPolygon(arrow);
}

}  // namespace

TScheduleIcon IconFor(const TTimeSchedule& schedule) {
  if (!schedule.Enabled)
    return TScheduleIcon::Disabled;
  return schedule.HasNextRun() ? TScheduleIcon::NextRun : TScheduleIcon::Never;
}

QIcon ScheduleIcon(TScheduleIcon icon) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  switch (icon) {
    case TScheduleIcon::NextRun:
      DrawAlarmClock(painter);
      break;
    case TScheduleIcon::Never:
      DrawCross(painter, false);
      break;
    case TScheduleIcon::Disabled:
      DrawCross(painter, true);
      break;
    case TScheduleIcon::Active:
      DrawArrow(painter);
      break;
  }
  return QIcon(pixmap);
}

}  // namespace tarvok
