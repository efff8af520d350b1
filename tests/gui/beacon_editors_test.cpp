// The beacon editors through the real door: the expression filter, the enabling rule, the WAV
// choice, the Beacon tab's dialogs and its minute refresh, and the preferences' Beacon page,
// which edits a copy until it is applied.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "core/config/config.h"
#include "core/config/preferences.h"
#include "gui/beacons/beacon_edit_dialog.h"
#include "gui/beacons/beacon_editor.h"
#include "gui/beacons/beacon_name_dialog.h"
#include "gui/beacons/beacon_tab.h"
#include "gui/beacons/expression_edit.h"
#include "gui/preferences/beacon_options_page.h"
#include "support/window_fixture.h"

namespace tarvok {
namespace {

class BeaconEditorsTest : public WindowTest {
 protected:
  TBeacon Beacon(const QString& name, bool enabled, const QString& cw) {
    TBeacon beacon = Station().Lists().NewBeacon();
    beacon.Name = name;
    beacon.Enabled = enabled;
    beacon.CWString = cw;
    return beacon;
  }
  template <typename T>
  static T* Find(QWidget* parent, const char* name = nullptr) {
    T* child = name ? parent->findChild<T*>(QString::fromLatin1(name)) : parent->findChild<T*>();
    EXPECT_NE(child, nullptr) << (name ? name : "");
    return child;
  }
  static QString NoPreview(const QString&, const QString&) { return {}; }
  // The preferences' Save, with the page's list.
  void Save(const TBeaconOptionsPage& page) {
    TPreferences preferences = TPreferences::Read(Config());
    page.Store(preferences);
    Station().SavePreferences(preferences);
  }
  static void Trigger(QWidget* parent, const char* action) {
    Find<QAction>(parent, action)->trigger();
  }
  static void AnswerBox(QWidget* parent, QMessageBox::StandardButton button) {
    Find<QMessageBox>(parent)->button(button)->click();
    Settle();
  }
  static void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClicks(edit, text);
  }
  static QString Cell(QWidget* parent, const char* grid, int row, int column) {
    const QTableWidgetItem* item = Find<QTableWidget>(parent, grid)->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
  }
};

TEST_F(BeaconEditorsTest, ExpressionsFilterTypedAndPastedTextAlike) {
  TBeaconEditor editor(Station(), NoPreview);
  const TBeacon beacon = Beacon("Club", true, "QST");
  editor.Load(&beacon);
  auto* minutes = Find<TExpressionEdit>(&editor, "edMin");
  EXPECT_EQ(minutes->text(), "*") << "an empty expression shows as a star";

  struct TCase {
    const char* Before;
    const char* Input;
    bool Paste;
    const char* After;
  };
  const TCase cases[] = {
      {"*", "5", false, "5"},      {"*", "5", true, "5"},         {"0,30", "*", false, "*"},
      {"0,30", "*", true, "*"},    {"1", "a2-x4", false, "12-4"}, {"1", "a2-x4", true, "12-4"},
      {"*", "0,30", true, "0,30"},
  };
  for (const TCase& c : cases) {
    minutes->Show(QString::fromLatin1(c.Before));
    minutes->setFocus();
    minutes->end(false);
    if (c.Paste) {
      QGuiApplication::clipboard()->setText(QString::fromLatin1(c.Input));
      minutes->paste();
    } else {
      QTest::keyClicks(minutes, QString::fromLatin1(c.Input));
    }
    EXPECT_EQ(minutes->text(), c.After) << c.Before << " + " << c.Input;
    EXPECT_EQ(editor.Beacon()->Min, c.After) << c.Before << " + " << c.Input;
  }
  minutes->Show("15");
  minutes->end(false);
  QTest::keyClick(minutes, Qt::Key_Backspace);
  QTest::keyClick(minutes, Qt::Key_Backspace);
  EXPECT_EQ(minutes->text(), "*");
  EXPECT_EQ(editor.Beacon()->Min, "*") << "an emptied field stores a star";
}

TEST_F(BeaconEditorsTest, EnableRuleLeavesOnlyTheNameWhileDisabled) {
  TBeaconEditor editor(Station(), NoPreview);
  const char* details[] = {"edMin",  "edHour",     "edDay",      "edMonth", "edWeekDay",
                           "cboWAV", "btnWAVEdit", "btnPreview", "edCW"};
  auto expectDetails = [&](bool enabled) {
    for (const char* name : details)
      EXPECT_EQ(Find<QWidget>(&editor, name)->isEnabled(), enabled) << name;
  };
  editor.Load(nullptr);
  EXPECT_FALSE(Find<QLineEdit>(&editor, "edName")->isEnabled());
  EXPECT_FALSE(Find<QCheckBox>(&editor, "cboEnabled")->isEnabled());
  expectDetails(false);

  const TBeacon beacon = Beacon("Club", false, "QST");
  editor.Load(&beacon);
  EXPECT_TRUE(Find<QLineEdit>(&editor, "edName")->isEnabled());
  expectDetails(false);
  Find<QCheckBox>(&editor, "cboEnabled")->click();
  expectDetails(true);
  EXPECT_TRUE(editor.Beacon()->Enabled);
}

TEST_F(BeaconEditorsTest, TabAddsEditsAndDeletesAndWritesAtOnce) {
  TBeaconTab tab(Station());
  Trigger(&tab, "mnuAdd");
  auto* dialog = Find<TBeaconEditDialog>(&tab);
  EXPECT_EQ(dialog->windowTitle(), "Add New Beacon");
  auto* save = Find<QPushButton>(dialog, "btnSave");
  EXPECT_FALSE(save->isEnabled());
  Find<QCheckBox>(dialog, "cboEnabled")->click();
  save->click();
  Settle();
  EXPECT_TRUE(dialog->isVisible()) << "a beacon without a name is refused";
  EXPECT_EQ(Find<QMessageBox>(dialog)->text(), "The <Beacon Name> field is empty.");
  AnswerBox(dialog, QMessageBox::Ok);
  Type(Find<QLineEdit>(dialog, "edName"), "Club");
  Type(Find<QLineEdit>(dialog, "edCW"), "QST");
  save->click();
  Settle();
  ASSERT_EQ(Station().Lists().Beacons().Count(), 1);
  EXPECT_EQ(Stored("BeaconEvent0", "Name"), "Club") << "written before the station stops";
  EXPECT_EQ(Stored("BeaconEvent0", "CWString"), "QST");
  EXPECT_EQ(Cell(&tab, "Grid", 0, 1), "Club");
  EXPECT_EQ(Cell(&tab, "Grid", 0, 2), "12/05 07:15");

  // A cancelled edit changes nothing.
  const QByteArray before = Settings();
  Trigger(&tab, "mnuEdit");
  dialog = Find<TBeaconEditDialog>(&tab);
  EXPECT_EQ(dialog->windowTitle(), "Edit Beacon");
  Type(Find<QLineEdit>(dialog, "edName"), "X");
  Find<QCheckBox>(dialog, "cboEnabled")->click();
  Find<QPushButton>(dialog, "btnCancel")->click();
  Settle();
  EXPECT_EQ(Station().Lists().Beacons().Items(0).Name, "Club");
  EXPECT_TRUE(Station().Lists().Beacons().Items(0).Enabled);
  EXPECT_EQ(Settings(), before);

  Trigger(&tab, "mnuDisable");
  EXPECT_EQ(Stored("BeaconEvent0", "Enable"), "0");
  EXPECT_EQ(Cell(&tab, "Grid", 0, 2), "");
  EXPECT_EQ(Find<QAction>(&tab, "mnuDisable")->text(), "E&nable");

  Trigger(&tab, "mnuDelete");
  EXPECT_EQ(Find<QMessageBox>(&tab)->text(), "Are you sure you want to delete\n\"Club\"\nevent?");
  AnswerBox(&tab, QMessageBox::Yes);
  EXPECT_EQ(Station().Lists().Beacons().Count(), 0);
  EXPECT_EQ(Stored("BeaconGeneral", "Count"), "0");
  EXPECT_EQ(Cell(&tab, "Grid", 0, 1), "") << "an empty list shows one blank row";
}

TEST_F(BeaconEditorsTest, TimeColumnFollowsTheStationClockAtANewMinute) {
  Station().AddBeacon(Beacon("Club", true, "QST"));
  TBeaconTab tab(Station());
  EXPECT_EQ(Cell(&tab, "Grid", 0, 2), "12/05 07:15");
  clock_.Set(QDateTime(QDate(2026, 12, 5), QTime(7, 15, 2)));
  Station().Tick(TStationTimer::Clock);
  EXPECT_EQ(Cell(&tab, "Grid", 0, 2), "12/05 07:16");
}

TEST_F(BeaconEditorsTest, PageEditsACopyUntilApplied) {
  QFile wav(dir_.filePath("id.wav"));
  ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
  wav.close();
  TBeacon club = Beacon("Club", true, QString());
  club.WaveFile = wav.fileName();
  Station().AddBeacon(club);
  TBeaconTab tab(Station());

  for (const bool apply : {false, true}) {
    TBeaconOptionsPage page(Station(), NoPreview);
    EXPECT_EQ(Cell(&page, "TaskGrid", 0, 2), "Queue");
    auto* wavList = Find<QComboBox>(&page, "cboWAV");
    EXPECT_EQ(wavList->currentText(), "id.wav");
    wavList->setCurrentIndex(0);
    emit wavList->activated(0);
    EXPECT_EQ(Cell(&page, "TaskGrid", 0, 2), "Never") << "(None) leaves nothing to send";

    Trigger(&page, "btnAdd");
    auto* prompt = Find<TBeaconNameDialog>(&page);
    Type(Find<QLineEdit>(prompt, "edName"), "Net");
    Find<QPushButton>(prompt, "btnOK")->click();
    Settle();
    EXPECT_EQ(Cell(&page, "TaskGrid", 1, 1), "Net");
    EXPECT_EQ(Cell(&page, "TaskGrid", 1, 2), "Disabled");
    EXPECT_EQ(Cell(&page, "TaskGrid", 1, 3), "");
    EXPECT_TRUE(page.IsModified());
    EXPECT_EQ(Station().Lists().Beacons().Count(), 1) << "the station's list waits for Save";
    EXPECT_EQ(Cell(&tab, "Grid", 1, 1), "<none>");
    if (apply)
      Save(page);
  }
  EXPECT_EQ(Cell(&tab, "Grid", 1, 1), "Net");
  EXPECT_EQ(Stored("BeaconEvent1", "Name"), "Net");
  EXPECT_EQ(Stored("BeaconEvent0", "WaveFile"), "");
}

TEST_F(BeaconEditorsTest, DeletingTheShownBeaconLeavesTheEditorSafe) {
  Station().AddBeacon(Beacon("Club", true, "QST"));
  Station().AddBeacon(Beacon("Net", true, "CQ"));
  TBeaconOptionsPage page(Station(), NoPreview);
  auto* grid = Find<QTableWidget>(&page, "TaskGrid");
  grid->setCurrentCell(1, 1);
  auto* name = Find<QLineEdit>(&page, "edName");
  EXPECT_EQ(name->text(), "Net");
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_Delete);
  AnswerBox(&page, QMessageBox::Yes);
  EXPECT_EQ(name->text(), "Club") << "the editor shows the beacon that took the row";
  Type(name, "s");
  Type(Find<QLineEdit>(&page, "edCW"), " DE");
  EXPECT_EQ(Cell(&page, "TaskGrid", 0, 1), "Clubs");

  grid->setCurrentCell(0, 1);
  QTest::keyClick(grid, Qt::Key_Delete);
  AnswerBox(&page, QMessageBox::Yes);
  EXPECT_FALSE(name->isEnabled());
  Type(name, "x");
  Type(Find<QLineEdit>(&page, "edMin"), "5");
  EXPECT_EQ(Cell(&page, "TaskGrid", 0, 1), "");
  Save(page);
  EXPECT_EQ(Station().Lists().Beacons().Count(), 0);
}

}  // namespace
}  // namespace tarvok
