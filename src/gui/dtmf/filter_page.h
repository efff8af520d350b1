// The Filter page: "Filter Enabled", "Reset", the output scale bar, the equalizer's curve and its
// ten band sliders (up is louder). Every change goes to the DTMF processor, which keeps the steps
// in the settings file.
#pragma once

#include <QWidget>
#include <array>

#include "core/dtmf/digital_filter.h"

class QCheckBox;
class QSlider;

namespace tarvok {

class TDtmfBlockProcessor;
class TStationRuntime;

class TFilterPage final : public QWidget {
  Q_OBJECT
 public:
  TFilterPage(TStationRuntime& station, QWidget* parent);

 private:
  QWidget* CreateEqualizerPanel();
  void Refresh();

  TStationRuntime& station_;
  const TDtmfBlockProcessor& dtmf_;
  QCheckBox* enabled_ = nullptr;
  QSlider* scaleBar_ = nullptr;
  std::array<QSlider*, TDigitalFilter::kBands> bandBars_{};
};

}  // namespace tarvok
