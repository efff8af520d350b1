#include "gui/window_style.h"

namespace tarvok {

QColor IndicatorColor(TIndicatorColour colour) {
  switch (colour) {
    case TIndicatorColour::Red:
      return Qt::red;
    case TIndicatorColour::Blue:
      return Qt::blue;
    case TIndicatorColour::Green:
      break;
  }
  // Dark green: white text on lime could hardly be read.
  return Qt::darkGreen;
}

QFont CaptionFont() {
  QFont font(QStringLiteral("serif"));
  font.setStyleHint(QFont::Serif);
  font.setPixelSize(19);
  font.setBold(true);
  return font;
}

}  // namespace tarvok
