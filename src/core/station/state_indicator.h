// The state indicator: a caption and a colour that tell at a glance what the station does.
#pragma once

#include <QString>

#include "core/common/repeater_mode.h"
#include "core/station/station_state.h"

namespace tarvok {

enum class TIndicatorColour { Red, Green, Blue };

struct TIndicator {
  QString Caption = QStringLiteral("receiving");
  TIndicatorColour Colour = TIndicatorColour::Green;

  friend bool operator==(const TIndicator&, const TIndicator&) = default;
};

// What the indicator shows next for the mode, the mode state and whether the transmitter is
// keyed. States without a caption of their own keep the caption shown.
TIndicator NextIndicator(const TIndicator& shown, TRepeaterMode mode, TModeState modeState,
                         bool keyed);

}  // namespace tarvok
