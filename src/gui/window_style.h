// What the window's panels share of their look: the colours of the indicator, the threshold and
// AGC lines, and the fonts.
#pragma once

#include <QColor>
#include <QFont>

#include "core/station/state_indicator.h"

namespace tarvok {

QColor IndicatorColor(TIndicatorColour colour);
inline const QColor kThresholdLineColor = Qt::red;
inline const QColor kAgcLineColor = Qt::blue;
// The mode caption across the top: 19-pixel bold serif.
QFont CaptionFont();

}  // namespace tarvok
