#include "gui/schedule/schedule_tab.h"

#include "core/station/station_runtime.h"
#include "gui/schedule/schedule_edit_dialog.h"

namespace tarvok {

TScheduleTab::TScheduleTab(TStationRuntime& station, QWidget* parent)
    : TListTab(
          {14, QStringLiteral("Mode"), 125, QStringLiteral("00/00 00:00-00/00 00:00"), QString()},
          parent),
      station_(station),
      lists_(station.Lists()) {
  setObjectName(QStringLiteral("frmScheduler"));
  connect(&lists_, &TListEditor::SchedulesChanged, this, &TListTab::Refill);
  connect(&station, &TStationRuntime::SchedulesChecked, this, &TListTab::Refill);
  // Switching the scheduler on or off resets the run state.
  connect(&station, &TStationRuntime::ModeChanged, this, &TListTab::Refill);
  Refill();
}

int TScheduleTab::Count() const { return lists_.Schedules().Count(); }

QString TScheduleTab::Caption(int index) const {
  return lists_.Schedules().Items(index).ModeText();
}

QString TScheduleTab::TimeText(int index) const {
  return lists_.Schedules().Items(index).NextRunShortText();
}

TScheduleIcon TScheduleTab::Icon(int index) const {
  const TModeSchedule& schedules = lists_.Schedules();
  return index == schedules.ActiveIndex() ? TScheduleIcon::Active : IconFor(schedules.Items(index));
}

bool TScheduleTab::ItemEnabled(int index) const { return lists_.Schedules().Items(index).Enabled; }

QString TScheduleTab::DeleteName(int index) const { return Caption(index); }

void TScheduleTab::AddItem() { OpenEditor(QStringLiteral("Add New Event"), lists_.NewEvent(), -1); }

void TScheduleTab::EditItem(int index) {
  OpenEditor(QStringLiteral("Edit Event"), lists_.Schedules().Items(index), index);
}

void TScheduleTab::SetItemEnabled(int index, bool enabled) {
  station_.SetEventEnabled(index, enabled);
}

void TScheduleTab::DeleteItem(int index) { station_.DeleteEvent(index); }

void TScheduleTab::OpenEditor(const QString& caption, const TScheduleEvent& event, int index) {
  auto* dialog = new TScheduleEditDialog(caption, event, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this, [this, dialog, index] {
    if (index < 0)
      station_.AddEvent(dialog->Event());
    else
      station_.SaveEvent(index, dialog->Event());
  });
  dialog->open();
}

}  // namespace tarvok
