#include "gui/beacons/beacon_tab.h"

#include "core/station/station_runtime.h"
#include "gui/beacons/beacon_edit_dialog.h"

namespace tarvok {

TBeaconTab::TBeaconTab(TStationRuntime& station, QWidget* parent)
    : TListTab({17, QStringLiteral("Name"), 65, QStringLiteral("00/00 00:00"),
                QStringLiteral("Please use <INSERT> and <DELETE> keys to edit the list")},
               parent),
      station_(station),
      lists_(station.Lists()) {
  setObjectName(QStringLiteral("frmBeacon"));
  connect(&lists_, &TListEditor::BeaconsChanged, this, &TListTab::Refill);
  Refill();
}

int TBeaconTab::Count() const { return lists_.Beacons().Count(); }

QString TBeaconTab::Caption(int index) const { return lists_.Beacons().Items(index).Name; }

QString TBeaconTab::TimeText(int index) const {
  return lists_.Beacons().Items(index).NextRunShortText();
}

TScheduleIcon TBeaconTab::Icon(int index) const { return IconFor(lists_.Beacons().Items(index)); }

bool TBeaconTab::ItemEnabled(int index) const { return lists_.Beacons().Items(index).Enabled; }

QString TBeaconTab::DeleteName(int index) const { return Caption(index); }

void TBeaconTab::AddItem() { OpenEditor(QStringLiteral("Add New Beacon"), lists_.NewBeacon(), -1); }

void TBeaconTab::EditItem(int index) {
  OpenEditor(QStringLiteral("Edit Beacon"), lists_.Beacons().Items(index), index);
}

void TBeaconTab::SetItemEnabled(int index, bool enabled) {
  station_.SetBeaconEnabled(index, enabled);
}

void TBeaconTab::DeleteItem(int index) { station_.DeleteBeacon(index); }

void TBeaconTab::OpenEditor(const QString& caption, const TBeacon& beacon, int index) {
  auto* dialog = new TBeaconEditDialog(station_, caption, beacon, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this, [this, dialog, index] {
    if (index < 0)
      station_.AddBeacon(dialog->Beacon());
    else
      station_.SaveBeacon(index, dialog->Beacon());
  });
  dialog->open();
}

}  // namespace tarvok
