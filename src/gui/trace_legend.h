// What the oscilloscopes' lines mean: a red line "Threshold Level" and a blue line "AGC Levels".
#pragma once

#include <QFrame>

namespace tarvok {

class TTraceLegend final : public QFrame {
  Q_OBJECT
 public:
  explicit TTraceLegend(QWidget* parent);
};

}  // namespace tarvok
