#include "gui/state_indicator_view.h"

#include "gui/window_style.h"

namespace tarvok {

TStateIndicatorView::TStateIndicatorView(QWidget* parent) : QLabel(parent) {
  setObjectName(QStringLiteral("xmitrecvindicator"));
  setAlignment(Qt::AlignCenter);
  setMinimumSize(254, 33);
  setAutoFillBackground(true);
  QFont bold = font();
  bold.setBold(true);
  setFont(bold);
  Show(TIndicator{});
}

void TStateIndicatorView::Show(const TIndicator& indicator) {
  setText(indicator.Caption);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, IndicatorColor(indicator.Colour));
  colours.setColor(QPalette::WindowText, Qt::white);
  setPalette(colours);
}

}  // namespace tarvok
