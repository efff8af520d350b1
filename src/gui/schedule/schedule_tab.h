// The Schedule tab: the mode-schedule events with their run windows, the one in force marked by
// an arrow, added and edited in the event dialog, disabled, enabled and deleted from the pop-up
// menu. It refills when the list changes, after each schedule check and at each new minute.
#pragma once

#include "gui/beacons/list_tab.h"

namespace tarvok {

class TListEditor;
class TStationRuntime;
class TScheduleEvent;

class TScheduleTab final : public TListTab {
  Q_OBJECT
 public:
  explicit TScheduleTab(TStationRuntime& station, QWidget* parent = nullptr);

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

  void OpenEditor(const QString& caption, const TScheduleEvent& event, int index);

  TStationRuntime& station_;
  const TListEditor& lists_;
};

}  // namespace tarvok
