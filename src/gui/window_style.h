// What the window's panels share of their look: the colours of the indicator, the threshold and
// AGC lines, and the fonts.
#pragma once

#include <QColor>
#include <QFont>

#include "core/station/state_indicator.h"

namespace tarvok {

// The name the station goes by on the desktop: the first title of its window, its boxes' title.
inline constexpr const char* kApplicationName = "Internet Repeater";

QColor IndicatorColor(TIndicatorColour colour);
inline const QColor kThresholdLineColor = Qt::red;
inline const QColor kAgcLineColor = Qt::blue;
// The mode caption across the top: 19-pixel bold serif.
QFont CaptionFont();

}  // namespace tarvok
