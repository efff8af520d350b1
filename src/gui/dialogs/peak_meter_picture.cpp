#include "gui/dialogs/peak_meter_picture.h"

#include <qdrawutil.h>
#include <QPainter>

namespace tarvok {

namespace {

constexpr int kSegments = 16;
constexpr int kLitSegments = 14;

QColor SegmentColor(int segment, bool lit) {
  if (!lit)
    return QColor(90, 90, 90);
  if (segment >= kSegments - 3)
    return Qt::red;
  if (segment >= kSegments - 7)
    return Qt::yellow;
  return QColor(0, 200, 0);
}

}  // namespace

TPeakMeterPicture::TPeakMeterPicture(QWidget* parent) : QWidget(parent) {
  setFixedSize(sizeHint());
}

void TPeakMeterPicture::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QPalette& colours = palette();
  qDrawShadePanel(&painter, rect(), colours, false, 1, &colours.brush(QPalette::Window));

  const QRect title(0, 8, width(), 20);
  painter.setPen(colours.color(QPalette::WindowText));
  painter.drawText(title, Qt::AlignCenter, QStringLiteral("Receiver"));

  // The volume slider: a groove with its knob.
  const QRect groove(60, 40, 4, 160);
  qDrawShadePanel(&painter, groove, colours, true, 1);
  const QRect knob(48, 100, 28, 12);
  qDrawShadePanel(&painter, knob, colours, false, 2, &colours.brush(QPalette::Button));

  // The peak meter: a recessed gray tray of segments.
  const QRect tray(120, 40, 22, 160);
  const QBrush trayFill(QColor(128, 128, 128));
  qDrawShadePanel(&painter, tray, colours, true, 2, &trayFill);
  const int pitch = (tray.height() - 6) / kSegments;
  for (int segment = 0; segment < kSegments; ++segment) {
    const QRect bar(tray.left() + 4, tray.bottom() - 3 - (segment + 1) * pitch + 1,
                    tray.width() - 8, pitch - 2);
    painter.fillRect(bar, SegmentColor(segment, segment < kLitSegments));
  }

  const QRect labels(0, 206, width(), 20);
  painter.drawText(labels.adjusted(20, 0, -width() / 2 - 10, 0), Qt::AlignCenter,
                   QStringLiteral("Volume"));
  painter.drawText(labels.adjusted(width() / 2 - 10, 0, 0, 0), Qt::AlignCenter,
                   QStringLiteral("Peak meter"));
}

}  // namespace tarvok
