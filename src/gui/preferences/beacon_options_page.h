// The preferences' Beacon page: the beacons in a grid with their state and next run, a tool bar
// to add and delete them, the beacon's fields below the grid and a help page. It edits a copy of
// the station's list; Save puts the copy in force (inside the preferences' one settings replace),
// and a page closed without it leaves the station's list as it was.
#pragma once

#include <QWidget>

#include "core/schedule/beacon_list.h"

class QStackedWidget;
class QTableWidget;

namespace tarvok {

class TBeaconEditor;
class TConfig;
class TStationRuntime;

class TBeaconOptionsPage final : public QWidget {
  Q_OBJECT
 public:
  explicit TBeaconOptionsPage(TStationRuntime& station, QWidget* parent = nullptr);

  bool IsModified() const { return modified_; }
  // Makes the edited list the station's and writes it; the station's list editor does the
  // writing, so the settings are not needed here.
  void Save(TConfig&);

 signals:
  // The first change of the list on this page.
  void Modified();
  // The preview asks to play a CW text, with the preferences' tone settings.
  void PlayCW(const QString& text);

 private:
  QWidget* CreateEditPage();
  QWidget* CreateHelpPage();
  void Refill();
  void FillRow(int row);
  int SelectedIndex() const;
  void SelectRow(int row);
  void StoreEdit();
  void AddBeacon();
  void DeleteBeacon();
  void SetModified();

  TStationRuntime& station_;
  TBeaconList beacons_;
  bool modified_ = false;
  QStackedWidget* pages_;
  QTableWidget* grid_ = nullptr;
  TBeaconEditor* editor_ = nullptr;
};

}  // namespace tarvok
