// The main window through the real door on the fake card: what a user notices of mode changes
// made by the menu, a remote command and the scheduler, errors, the Recorder menu while
// capturing, the indicator, and the trace warning's answer.
#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "core/config/config.h"
#include "support/window_fixture.h"

namespace tarvok {
namespace {

// The texts shown in a window that are cut: each label, check box or radio button smaller than
// it asks to be, each other button narrower than its text.
QStringList CutTexts(const QWidget& window) {
  QStringList cut;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    auto* label = qobject_cast<QLabel*>(widget);
    auto* button = qobject_cast<QAbstractButton*>(widget);
    const QString text = label ? label->text() : button ? button->text() : QString();
    if (text.isEmpty() || !widget->isVisibleTo(&window))
      continue;
    QSize needed = widget->minimumSizeHint();
    if (button && !qobject_cast<QCheckBox*>(button) && !qobject_cast<QRadioButton*>(button))
      needed = widget->fontMetrics().size(Qt::TextShowMnemonic, text);
    if (widget->width() < needed.width() || widget->height() < needed.height())
      cut << text;
  }
  return cut;
}

class MainWindowTest : public WindowTest {
 protected:
  // The window over the door before its start, as the program builds them.
  TMainWindow& Window() {
    if (!window_) {
      window_ = std::make_unique<TMainWindow>(CreateStation());
      StartStation();
    }
    return *window_;
  }
  void Trigger(const char* item) {
    QAction* action = Window().findChild<QAction*>(item);
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
    Settle();
  }
  bool TabShown(const QString& text) {
    auto* pages = Window().findChild<QTabWidget*>("GeneralPageControl");
    for (int i = 0; i < pages->count(); ++i) {
      if (pages->tabText(i) == text)
        return pages->isTabVisible(i);
    }
    return false;
  }
  void RemoteCommand(const QByteArray& command) {
    QFile file(dir_.filePath("remote/tarvok.cmd"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(command);
    file.close();
    clock_.AdvanceMilliseconds(1000);
    Station().Tick(TStationTimer::Clock);
    Settle();
  }
  QString Text(const char* label) { return Window().findChild<QLabel*>(label)->text(); }
  // Shown and active, as the user has it: the focus and the shortcuts work.
  void ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }
  void ChooseTab(const QString& text) {
    QTabBar* tabs = Window().findChild<QTabWidget*>("GeneralPageControl")->tabBar();
    for (int i = 0; i < tabs->count(); ++i) {
      if (tabs->tabText(i) == text)
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(i).center());
    }
    Settle();
  }
  QWidget* Child(const char* parent, const char* name) {
    return Window().findChild<QWidget*>(parent)->findChild<QWidget*>(name);
  }

  void TearDown() override { window_.reset(); }
  std::unique_ptr<TMainWindow> window_;
};

TEST_F(MainWindowTest, TitleAndTabsFollowTheMenuARemoteCommandAndTheScheduler) {
  ASSERT_TRUE(QDir(dir_.path()).mkpath("remote"));
  WriteSettings("[Audio]\nState=0\n[Remote]\nRemoteEnabled=1\n");
  EXPECT_EQ(Window().windowTitle(), "Internet Repeater");
  EXPECT_FALSE(TabShown(" Beacon  "));

  Trigger("mnuBeaconStation");
  EXPECT_EQ(Window().windowTitle(), "Beacon Station");
  EXPECT_TRUE(TabShown(" Beacon  "));

  RemoteCommand("command=1\nmode=2\nstate=1\n");
  EXPECT_EQ(Window().windowTitle(), "Simplex Repeater");
  EXPECT_FALSE(TabShown(" Beacon  "));
  EXPECT_TRUE(Window().findChild<QAction*>("mnuSimplexRepeater")->isChecked());

  Trigger("mnuScheduler");
  EXPECT_EQ(Window().windowTitle(), "Schedule - waiting");
  EXPECT_TRUE(TabShown("Schedule"));
  EXPECT_FALSE(Window().findChild<QAction*>("mnuSimplexRepeater")->isChecked());
}

TEST_F(MainWindowTest, AnErrorShowsInTheStatusBarAndTheErrorLineUntilTheModeChanges) {
  backend_->CaptureResult = TAudioResult::Fail(TAudioResult::kBadDeviceId, "No capture device");
  Trigger("mnuStart");
  EXPECT_FALSE(Text("StatusPanel0").isEmpty());
  EXPECT_EQ(Text("ErrorLabel"), Text("StatusPanel0"));
  Trigger("mnuInternetRepeater");
  EXPECT_EQ(Text("StatusPanel0"), "");
  EXPECT_EQ(Text("ErrorLabel"), "");
}

TEST_F(MainWindowTest, RemoteControlOverAMissingFolderIsSaidOnceAndStaysOnInTheFile) {
  WriteSettings("[Remote]\nRemoteEnabled=1\n");
  QStringList errors;
  QObject::connect(&CreateStation(), &TStationRuntime::ErrorShown,
                   [&](const QString& text) { errors << text; });
  window_ = std::make_unique<TMainWindow>(*station_);
  StartStation();
  const QString message =
      QStringLiteral("The remote folder %1 does not exist: remote control is off")
          .arg(Config().RemotePath());
  EXPECT_EQ(errors, QStringList{message});
  EXPECT_EQ(Text("ErrorLabel"), message);
  EXPECT_FALSE(Config().RemoteEnabled());
  EXPECT_EQ(Stored("Remote", "RemoteEnabled"), "1");
}

TEST_F(MainWindowTest, TheModeMenuClosesOnlyForTheRecordersCaptureAndAnyModeChangeEndsIt) {
  ASSERT_TRUE(QDir(dir_.path()).mkpath("remote"));
  WriteSettings("[Remote]\nRemoteEnabled=1\n");
  const auto modeMenuOpen = [this] { return Window().findChild<QMenu*>("mnuMode")->isEnabled(); };
  const auto enabled = [this](const char* item) {
    return Window().findChild<QAction*>(item)->isEnabled();
  };
  Trigger("mnuStart");
  ASSERT_TRUE(Station().Capturing());
  EXPECT_FALSE(enabled("mnuStart"));
  EXPECT_TRUE(enabled("mnuStop"));
  EXPECT_FALSE(modeMenuOpen());
  // Beacon Station goes on capturing, for itself.
  RemoteCommand("command=1\nmode=3\nstate=1\n");
  ASSERT_EQ(Window().windowTitle(), "Beacon Station");
  EXPECT_TRUE(Station().Capturing());
  EXPECT_TRUE(modeMenuOpen());
  EXPECT_FALSE(Window().findChild<QMenu*>("mnuRecorder")->isEnabled());

  Trigger("mnuInternetRepeater");
  Trigger("mnuStart");
  ASSERT_FALSE(modeMenuOpen());
  RemoteCommand("command=1\nmode=2\nstate=1\n");
  EXPECT_FALSE(Station().Capturing());
  EXPECT_TRUE(modeMenuOpen());
  Trigger("mnuInternetRepeater");
  EXPECT_TRUE(enabled("mnuStart"));
  EXPECT_FALSE(enabled("mnuStop"));
  Trigger("mnuStart");
  Trigger("mnuStop");
  EXPECT_TRUE(modeMenuOpen());
}

TEST_F(MainWindowTest, TheModeMenuStaysOpenInBeaconStationHoweverItWasEntered) {
  const auto beaconStationWithModeMenu = [this] {
    return Window().windowTitle().endsWith("Beacon Station") && Station().Capturing() &&
           Window().findChild<QMenu*>("mnuMode")->isEnabled();
  };
  // Restored at start.
  WriteSettings(
      "[Audio]\nSaveMode=1\nDefaultMode=3\n[ScheduleGeneral]\nCount=1\n"
      "[ScheduleEvent0]\nEnable=1\nMin=15\nHour=7\nMode=3\nDuration=30\n");
  Window();
  Settle();
  EXPECT_TRUE(beaconStationWithModeMenu());
  // From the menu, after another mode.
  Trigger("mnuSimplexRepeater");
  Trigger("mnuBeaconStation");
  EXPECT_TRUE(beaconStationWithModeMenu());
  // By the scheduler.
  Trigger("mnuScheduler");
  ASSERT_EQ(Window().windowTitle(), "Schedule - waiting");
  clock_.Set(QDateTime(QDate(2026, 12, 5), QTime(7, 15, 1)));
  Station().Tick(TStationTimer::Clock);
  Settle();
  EXPECT_EQ(Window().windowTitle(), "Schedule - Beacon Station");
  EXPECT_TRUE(beaconStationWithModeMenu());
  Trigger("mnuScheduler");
  EXPECT_EQ(Window().windowTitle(), "Internet Repeater") << "the scheduler is switched off";
}

TEST_F(MainWindowTest, TheIndicatorTakesEachColourWithItsCaption) {
  Config().SetState(csForcedOff);
  auto* indicator = Window().findChild<QLabel*>("xmitrecvindicator");
  // A corner pixel, clear of the caption.
  const auto colour = [indicator] { return indicator->grab().toImage().pixelColor(1, 1); };
  EXPECT_EQ(indicator->text(), "receiving");
  EXPECT_EQ(colour(), QColor(0x00, 0x80, 0x00));
  Window().findChild<QRadioButton*>("rboForceXMIT")->click();
  Settle();
  EXPECT_EQ(indicator->text(), "TRANSMITTING");
  EXPECT_EQ(colour(), QColor(0xFF, 0x00, 0x00));
  Trigger("mnuSimplexRepeater");
  Window().findChild<QRadioButton*>("rboSREC")->click();
  Settle();
  EXPECT_EQ(indicator->text(), "RECORDING");
  EXPECT_EQ(colour(), QColor(0x00, 0x00, 0xFF));
}

TEST_F(MainWindowTest, ChoosingTheBeaconDtmfOrScheduleTabPutsTheFocusInIt) {
  ShowActive(&Window());
  Trigger("mnuBeaconStation");
  EXPECT_EQ(QApplication::focusWidget(), Child("frmBeacon", "Grid")) << "the mode turned to it";
  ChooseTab(" DTFM  ");
  EXPECT_EQ(QApplication::focusWidget(), Child("frmDTMF", "Notebook"));
  ChooseTab(" Beacon  ");
  ASSERT_EQ(QApplication::focusWidget(), Child("frmBeacon", "Grid"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
  auto* editor = Window().findChild<QDialog*>("frmBeaconEdit");
  ASSERT_NE(editor, nullptr) << "Insert works at once";
  editor->reject();
  ShowActive(&Window());
  Trigger("mnuScheduler");
  EXPECT_EQ(QApplication::focusWidget(), Child("frmScheduler", "Grid"));
  ChooseTab(" General  ");
  ChooseTab("Schedule");
  EXPECT_EQ(QApplication::focusWidget(), Child("frmScheduler", "Grid"));
}

TEST_F(MainWindowTest, CtrlAOpensAboutFromATextFieldWhileADialogsFieldSelectsAll) {
  ShowActive(&Window());
  auto* field = Window().findChild<QLineEdit*>();
  ASSERT_NE(field, nullptr);
  field->setFocus();
  QString opened;
  QTimer::singleShot(0, [&] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      opened = box->windowTitle();
      box->close();
    }
  });
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  Settle();
  EXPECT_EQ(opened, "About");
  EXPECT_FALSE(field->hasSelectedText());

  QDialog dialog(&Window());
  auto* text = new QLineEdit(QStringLiteral("VVV DE"), &dialog);
  ShowActive(&dialog);
  text->setFocus();
  QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
  Settle();
  EXPECT_EQ(text->selectedText(), "VVV DE");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindowTest, TheWindowAndPreferencesOpenAtTheSmallestSizeThatCutsNoText) {
  Window().show();
  Settle();
  EXPECT_EQ(Window().size(), Window().minimumSize());
  EXPECT_EQ(CutTexts(Window()), QStringList());
  Window().resize(1, 1);
  EXPECT_EQ(Window().size(), Window().minimumSize()) << "no smaller";

  QStringList cut;
  QSize opened;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    opened = dialog->size();
    auto* pages = dialog->findChild<QTabWidget*>("PageControl");
    for (int i = 0; i < pages->count(); ++i) {
      pages->setCurrentIndex(i);
      Settle();
      cut << CutTexts(*dialog);
    }
    EXPECT_EQ(dialog->minimumSize(), opened);
    dialog->close();
  });
  Trigger("mnuPreferences");
  EXPECT_EQ(cut, QStringList());
}

TEST_F(MainWindowTest, DontShowThisDialogAgainIsAnsweredFromTheBoxAndSurvivesARestart) {
  // Both traces on an output: the trace check warns at the window's first show.
  WriteSettings("[Audio]\nVOXAutoDetect=1\nSourceIndex0=1\nSourceIndex1=1\n");
  QTimer::singleShot(0, [] {
    QTimer::singleShot(50, [] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      dialog->findChild<QCheckBox*>("cboNoDialog")->setChecked(true);
      dialog->findChild<QPushButton*>("btnOK")->click();
    });
  });
  Window().show();
  for (int i = 0; i < 20 && Config().VOXAutoDetect(); ++i)
    Settle();
  EXPECT_EQ(Stored("Audio", "VOXAutoDetect"), "0");
  window_.reset();
  station_->Close();
  station_.reset();
  Reload();
  EXPECT_FALSE(Config().VOXAutoDetect());
}

}  // namespace
}  // namespace tarvok
