// The state indicator: the station's state in a word on red, green or blue.
#pragma once

#include <QLabel>

#include "core/station/state_indicator.h"

namespace tarvok {

class TStateIndicatorView final : public QLabel {
  Q_OBJECT
 public:
  explicit TStateIndicatorView(QWidget* parent = nullptr);
  void Show(const TIndicator& indicator);
};

}  // namespace tarvok
