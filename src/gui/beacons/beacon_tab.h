// The Beacon tab: the station's beacons with their next runs, added and edited in the beacon
// dialog, disabled, enabled and deleted from the pop-up menu. It refills whenever the list
// changes, wherever the change was made, and at each new minute of the station's clock.
#pragma once

#include "gui/beacons/list_tab.h"

namespace tarvok {

class TBeacon;
class TListEditor;
class TStationRuntime;

class TBeaconTab final : public TListTab {
  Q_OBJECT
 public:
  explicit TBeaconTab(TStationRuntime& station, QWidget* parent = nullptr);

 private:
  int Count() const override;
  QString Caption(int index) const override;
  QString TimeText(int index) const override;
  TScheduleIcon Icon(int index) const override;
  bool ItemEnabled(int index) const override;
  QString DeleteName(int index) const override;
  void AddItem() override;
  void EditItem(int index) override;
  void SetItemEnabled(int index, bool enabled) override;
  void DeleteItem(int index) override;

  void OpenEditor(const QString& caption, const TBeacon& beacon, int index);

  TStationRuntime& station_;
  const TListEditor& lists_;
};

}  // namespace tarvok
