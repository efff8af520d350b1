// "Add New Beacon" and "Edit Beacon": the beacon's fields on a copy, with Save, Cancel and Help.
// Save is offered once something was changed and refuses a beacon without a name.
#pragma once

#include <QDialog>

#include "core/schedule/beacon.h"

class QPushButton;

namespace tarvok {

class TBeaconEditor;
class TStationRuntime;

class TBeaconEditDialog final : public QDialog {
  Q_OBJECT
 public:
  TBeaconEditDialog(TStationRuntime& station, const QString& caption, const TBeacon& beacon,
                    QWidget* parent = nullptr);

  // The beacon as the user left it.
  const TBeacon& Beacon() const;

 private:
  void Save();

  TBeaconEditor* editor_;
  QPushButton* save_;
};

}  // namespace tarvok
