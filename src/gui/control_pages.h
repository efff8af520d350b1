// The pages of state buttons below the tabs, one per mode ("Repeater", "Simplex", "Beacon") and
// the scheduler's waiting page. The buttons mirror the station's; a click asks the station.
#pragma once

#include <QStackedWidget>
#include <map>

#include "core/station/state_buttons.h"

class QRadioButton;

namespace tarvok {

class TModeControl;
class TStationRuntime;

class TControlPages final : public QStackedWidget {
  Q_OBJECT
 public:
  TControlPages(TStationRuntime& station, QWidget* parent = nullptr);
  void Refresh();

 private:
  QWidget* AddPage(const QString& name, std::initializer_list<TStateButton> buttons);

  TStationRuntime& station_;
  std::map<TStateButton, QRadioButton*> buttons_;
};

// The widget name of a state button: "rboEnableVOX", "rboSLISTEN", ...
QString StateButtonObjectName(TStateButton button);

}  // namespace tarvok
