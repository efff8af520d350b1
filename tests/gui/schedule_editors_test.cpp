// The Schedule tab and its event dialog through the real door: an event needs a mode, the arrow
// marks the event in force after a schedule check and follows it through a delete, and an edit
// of the running event keeps it running.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "core/config/config.h"
#include "gui/beacons/schedule_icons.h"
#include "gui/schedule/schedule_edit_dialog.h"
#include "gui/schedule/schedule_tab.h"
#include "support/window_fixture.h"

namespace tarvok {
namespace {

class ScheduleEditorsTest : public WindowTest {
 protected:
  void AddEvent(TRepeaterMode mode) {
    TScheduleEvent event = Station().Lists().NewEvent();
    event.Mode = mode;
    event.Enabled = true;
    event.Duration = 30;
    Station().AddEvent(event);
  }
  void RunScheduleCheck() {
    clock_.Set(QDateTime(QDate(2026, 12, 5), QTime(7, 20, 1)));
    Station().Tick(TStationTimer::Clock);
    Settle();
  }
  static QImage IconOf(QTableWidget* grid, int row) {
    return grid->item(row, 0)->icon().pixmap(16, 16).toImage();
  }
  static QImage Arrow() { return ScheduleIcon(TScheduleIcon::Active).pixmap(16, 16).toImage(); }
};

TEST_F(ScheduleEditorsTest, AnEventNeedsAModeAndIsWrittenAtOnce) {
  TScheduleTab tab(Station());
  tab.findChild<QAction*>("mnuAdd")->trigger();
  auto* dialog = tab.findChild<TScheduleEditDialog*>();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), "Add New Event");
  auto* duration = dialog->findChild<QLineEdit*>("edDuration");
  duration->setFocus();
  duration->selectAll();
  QTest::keyClicks(duration, "x");
  EXPECT_EQ(duration->text(), "0") << "letters are refused";
  duration->selectAll();
  QTest::keyClicks(duration, "5");
  dialog->findChild<QPushButton*>("btnSave")->click();
  Settle();
  auto* box = dialog->findChild<QMessageBox*>();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), "Please select repeater mode.");
  box->button(QMessageBox::Ok)->click();
  EXPECT_EQ(Station().Lists().Schedules().Count(), 0);

  auto* mode = dialog->findChild<QComboBox*>("cboMode");
  mode->setCurrentIndex(2);
  emit mode->activated(2);
  dialog->findChild<QPushButton*>("btnSave")->click();
  Settle();
  ASSERT_EQ(Station().Lists().Schedules().Count(), 1);
  EXPECT_EQ(Stored("ScheduleEvent0", "Mode"), "3");
  EXPECT_EQ(Stored("ScheduleEvent0", "Duration"), "5");
  EXPECT_EQ(tab.findChild<QTableWidget*>("Grid")->item(0, 1)->text(), "Beacon Station");
}

TEST_F(ScheduleEditorsTest, ArrowFollowsTheEventInForceThroughDeleteAndEdit) {
  AddEvent(rmInternetRepeater);
  AddEvent(rmBeaconStation);
  TScheduleTab tab(Station());
  auto* grid = tab.findChild<QTableWidget*>("Grid");
  Station().ToggleScheduler();
  RunScheduleCheck();
  EXPECT_EQ(Station().State().Mode, rmBeaconStation);
  EXPECT_EQ(IconOf(grid, 1), Arrow()) << "repainted after the check";
  EXPECT_NE(IconOf(grid, 0), Arrow());

  grid->setCurrentCell(0, 1);
  tab.findChild<QAction*>("mnuDelete")->trigger();
  tab.findChild<QMessageBox*>()->button(QMessageBox::Yes)->click();
  Settle();
  ASSERT_EQ(grid->rowCount(), 1);
  EXPECT_EQ(grid->item(0, 1)->text(), "Beacon Station");
  EXPECT_EQ(IconOf(grid, 0), Arrow()) << "the arrow moved with its event";

  grid->setCurrentCell(0, 1);
  tab.findChild<QAction*>("mnuEdit")->trigger();
  auto* dialog = tab.findChild<TScheduleEditDialog*>();
  EXPECT_EQ(dialog->windowTitle(), "Edit Event");
  auto* duration = dialog->findChild<QLineEdit*>("edDuration");
  duration->setFocus();
  QTest::keyClicks(duration, "0");
  dialog->findChild<QPushButton*>("btnSave")->click();
  Settle();
  const TScheduleEvent& running = Station().Lists().Schedules().Items(0);
  EXPECT_EQ(running.Duration, 300);
  EXPECT_TRUE(running.Started()) << "the edit keeps the run state";
  EXPECT_EQ(IconOf(grid, 0), Arrow());
}

}  // namespace
}  // namespace tarvok
