// The preferences' Beacon page: the beacons in a grid with their state and next run, a tool bar
// to add and delete them, the beacon's fields below the grid and a help page. It edits a copy of
// the station's list; Save puts the copy in force with the other preferences, and a page closed
// without it leaves the station's list as it was.
#pragma once

#include "core/schedule/beacon_list.h"
#include "gui/beacons/beacon_editor.h"
#include "gui/preferences/preferences_page.h"

class QStackedWidget;
class QTableWidget;

namespace tarvok {

class TStationRuntime;

class TBeaconOptionsPage final : public TPreferencesPage {
  Q_OBJECT
 public:
  // preview plays a beacon's file and CW text with the preferences' tone settings.
  TBeaconOptionsPage(TStationRuntime& station, TBeaconEditor::TPreview preview,
                     QWidget* parent = nullptr);

  bool IsModified() const { return modified_; }
  // The edited list, once the page changed it.
  void Store(TPreferences& preferences) const override;

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
  TBeaconEditor::TPreview preview_;
  TBeaconList beacons_;
  bool modified_ = false;
  QStackedWidget* pages_;
  QTableWidget* grid_ = nullptr;
  TBeaconEditor* editor_ = nullptr;
};

}  // namespace tarvok
