// The preferences dialog opened from the window's menu, through the real door on the fake card:
// what Save, Cancel, Esc and the title bar's close leave in the settings file, a Save the file
// refuses, the pages' texts and conversions, a refused preview, and the window and station
// following the saved settings.
#include "gui/preferences/preferences_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "core/audio/wave_format.h"
#include "core/config/config.h"
#include "core/station/state_buttons.h"
#include "gui/beacons/beacon_name_dialog.h"
#include "gui/main_window.h"
#include "gui/scale_view.h"
#include "support/window_fixture.h"

namespace tarvok {
namespace {

using TAct = std::function<void(TPreferencesDialog&)>;

class PreferencesTest : public WindowTest {
 protected:
  TMainWindow& Window() {
    if (!window_) {
      window_ = std::make_unique<TMainWindow>(CreateStation());
      StartStation();
    }
    return *window_;
  }
  // File > Preferences, with act run inside the dialog's modal loop; act ends the dialog.
  void InDialog(const TAct& act) {
    Window();
    bool ran = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TPreferencesDialog*>(QApplication::activeModalWidget());
      if (!dialog)
        return;
      act(*dialog);
      ran = true;
    });
    Window().findChild<QAction*>("mnuPreferences")->trigger();
    Settle();
    EXPECT_TRUE(ran);
  }
  template <typename T>
  static T* Find(QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<T*>(QLatin1String(name));
    if (!widget)
      ADD_FAILURE() << name;
    return widget;
  }
  static void Click(QWidget& dialog, const char* name) {
    Find<QAbstractButton>(dialog, name)->click();
  }
  static void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  QString MakeWav(const QString& name) {
    QFile file(dir_.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100, '\0'));
    return file.fileName();
  }

  std::unique_ptr<TMainWindow> window_;
};

TEST_F(PreferencesTest, CancelEscAndTheTitleBarWriteNothingAndSaveWritesTheCWVolume) {
  WriteSettings("[Audio]\nState=1\n");
  Window();
  const QByteArray before = Settings();
  const std::array<TAct, 3> closes{
      [](TPreferencesDialog& d) { Click(d, "btnCancel"); },
      [](TPreferencesDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
      [](TPreferencesDialog& d) { d.close(); },
  };
  for (const TAct& close : closes) {
    InDialog([&](TPreferencesDialog& d) {
      EXPECT_EQ(Find<QTabWidget>(d, "PageControl")->currentIndex(), 0);
      auto* save = Find<QPushButton>(d, "btnSave");
      EXPECT_FALSE(save->isEnabled());
      EXPECT_EQ(Settings(), before) << "the dialog's forced receive is held, not written";
      Find<QSlider>(d, "tbVolume")->setValue(5000);
      Click(d, "rboLinear");
      EXPECT_TRUE(save->isEnabled());
      close(d);
    });
    EXPECT_EQ(Settings(), before);
    EXPECT_EQ(Config().CWVolume(), 32767);
    EXPECT_EQ(Config().TrayScale(), 0);
    EXPECT_EQ(Config().State(), 1);
  }
  InDialog([&](TPreferencesDialog& d) {
    Find<QSlider>(d, "tbVolume")->setValue(5000);
    Click(d, "btnSave");
  });
  EXPECT_EQ(Stored("Audio", "CWVolume"), "5000");
}

TEST_F(PreferencesTest, SaveWritesEveryEventKeyAndLeavesTheBeaconSlotsAlone) {
  WriteSettings("[Audio]\nWAVFile7=beacon7.wav\nWAVFile8=beacon8.wav\n");
  const QString ident = MakeWav("ident.wav");
  InDialog([&](TPreferencesDialog& d) {
    auto* grid = Find<QTableWidget>(d, "EventsGrid");
    EXPECT_EQ(grid->rowCount(), 4);
    grid->setCurrentCell(1, 1);
    auto* interval = Find<QLineEdit>(d, "edInterval");
    Type(interval, "0");
    EXPECT_EQ(interval->text(), "600");
    auto* cw = Find<QLineEdit>(d, "edCWString");
    Type(cw, "cq de");
    auto* names = Find<QComboBox>(d, "cboName");
    emit names->activated(names->findText("ident.wav"));
    grid->setCurrentCell(3, 1);
    EXPECT_TRUE(cw->isHidden());
    EXPECT_FALSE(interval->isEnabled());
    grid->setCurrentCell(1, 1);
    EXPECT_EQ(cw->text(), "cq de");
    EXPECT_EQ(names->currentText(), "ident.wav");
    Click(d, "btnSave");
  });
  for (int slot = 0; slot < kAudioEventCount; ++slot) {
    EXPECT_NE(Stored("Audio", QStringLiteral("AudioTime%1").arg(slot)), "<missing>") << slot;
    EXPECT_NE(Stored("Audio", QStringLiteral("CWString%1").arg(slot)), "<missing>") << slot;
    if (slot < 7) {
      EXPECT_NE(Stored("Audio", QStringLiteral("WAVFile%1").arg(slot)), "<missing>") << slot;
    }
  }
  EXPECT_EQ(Stored("Audio", "WAVFile2"), ident);
  EXPECT_EQ(Stored("Audio", "AudioTime2"), "600");
  EXPECT_EQ(Stored("Audio", "CWString2"), "CQ DE");
  EXPECT_EQ(Stored("Audio", "WAVFile7"), "beacon7.wav");
  EXPECT_EQ(Stored("Audio", "WAVFile8"), "beacon8.wav");
}

TEST_F(PreferencesTest, ASaveTheFileRefusesGivesOneMessageAndChangesNothing) {
  // A file to refuse the Save: the station writes none before it.
  WriteSettings("[Audio]\nState=1\n");
  InDialog([&](TPreferencesDialog& d) {
    QFile::setPermissions(folder_.SettingsFile(), QFile::ReadOwner);
    const QByteArray before = Settings();
    const std::size_t shown = messages_.Shown.size();
    Click(d, "rboLinear");
    Click(d, "cboShowVOXOnly");
    Click(d, "btnSave");
    // Compared whole: a missing message fails here rather than crashing.
    const std::vector<QString> added(messages_.Shown.begin() + shown, messages_.Shown.end());
    EXPECT_EQ(added, std::vector<QString>{"Unable to write to " + folder_.SettingsFile()});
    EXPECT_EQ(Settings(), before);
    EXPECT_EQ(Config().TrayScale(), 0);
    EXPECT_FALSE(Config().ShowVOXOnly());
    EXPECT_TRUE(d.isVisible()) << "nothing the user chose is lost";
    QFile::setPermissions(folder_.SettingsFile(), QFile::ReadOwner | QFile::WriteOwner);
    Click(d, "btnCancel");
  });
}

TEST_F(PreferencesTest, CancelDiscardsBeaconsAddedOnTheBeaconPageAlsoAfterARefusedSave) {
  for (const bool refused : {false, true}) {
    InDialog([&](TPreferencesDialog& d) {
      Find<QTabWidget>(d, "PageControl")->setCurrentWidget(Find<QWidget>(d, "frmBeaconOptions"));
      Find<QAction>(d, "btnAdd")->trigger();
      auto* prompt = d.findChild<TBeaconNameDialog*>();
      ASSERT_NE(prompt, nullptr);
      Type(Find<QLineEdit>(*prompt, "edName"), "Net");
      Click(*prompt, "btnOK");
      Settle();
      EXPECT_EQ(Find<QTableWidget>(d, "TaskGrid")->item(0, 1)->text(), "Net");
      if (refused) {
        QFile::setPermissions(folder_.SettingsFile(), QFile::ReadOwner);
        Click(d, "btnSave");
        QFile::setPermissions(folder_.SettingsFile(), QFile::ReadOwner | QFile::WriteOwner);
      }
      Click(d, "btnCancel");
    });
    EXPECT_EQ(Station().Lists().Beacons().Count(), 0) << refused;
    EXPECT_FALSE(Settings().contains("Net")) << refused;
  }
}

TEST_F(PreferencesTest, FormatTextsStayAlikeInAGermanLocaleAndDtmfOffersOnly16BitMono) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  InDialog([&](TPreferencesDialog& d) {
    auto* formats = Find<QComboBox>(d, "cboAttributes");
    EXPECT_EQ(formats->count(), 16);
    EXPECT_EQ(formats->itemText(0), "8,000 Hz, 8 Bit, Mono           8KB/s");
    EXPECT_EQ(formats->itemText(15), "44,100 Hz, 16 Bit, Stereo         172KB/s");
    EXPECT_EQ(formats->currentIndex(), 0);
    Click(d, "cboDTMFSimplex");
    EXPECT_EQ(formats->count(), 4);
    for (int i = 0; i < formats->count(); ++i)
      EXPECT_TRUE(formats->itemText(i).contains(" Hz, 16 Bit, Mono  ")) << i;
    EXPECT_EQ(formats->currentIndex(), 0) << "the stored 8-bit format is not offered";
    Click(d, "btnSave");
  });
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(Stored("Audio", "SamplesPerSec"), "8000");
  EXPECT_EQ(Stored("Audio", "BitsPerSample"), "16");
  EXPECT_EQ(Stored("Audio", "Channels"), "1");
}

TEST_F(PreferencesTest, AgcBoundsConvertBetweenDecibelsAndPercentHalvesToEven) {
  WriteSettings(
      "[AutomaticGainControl]\nEnabled0=1\nScale0=0\nMinimum0=500\nMaximum0=1000\n"
      "Enabled1=1\nScale1=0\nMinimum1=50\nMaximum1=150\n");
  InDialog([&](TPreferencesDialog& d) {
    auto* minimum = Find<QSpinBox>(d, "edUpperMinimum");
    auto* maximum = Find<QSpinBox>(d, "edUpperMaximum");
    EXPECT_EQ(minimum->value(), 45);
    EXPECT_EQ(maximum->value(), 90);
    EXPECT_EQ(Find<QSpinBox>(d, "edLowerMinimum")->value(), 4) << "4.5";
    EXPECT_EQ(Find<QSpinBox>(d, "edLowerMaximum")->value(), 14) << "13.5";
    Click(d, "rboUpperLinear");
    EXPECT_EQ(minimum->value(), 50);
    EXPECT_EQ(maximum->value(), 100);
    Click(d, "rboUpperLogarithm");
    EXPECT_EQ(minimum->value(), 45);
    minimum->setValue(60);
    Click(d, "btnSave");
  });
  EXPECT_EQ(Stored("AutomaticGainControl", "Minimum0"), "667");
  EXPECT_EQ(Stored("AutomaticGainControl", "Maximum0"), "1000");
}

TEST_F(PreferencesTest, APreviewWhileTheStationTransmitsSaysTheDeviceIsBusy) {
  MakeWav("courtesy.wav");
  QStringList boxes;
  InDialog([&](TPreferencesDialog& d) {
    // A remote command forces the transmitter on while the dialog is open; the dialog's hold
    // drops it again at the VOX's next request.
    Station().ClickStateButton(TStateButton::RepeaterForceXmit);
    EXPECT_TRUE(Station().TransmitterKeyed());
    auto* names = Find<QComboBox>(d, "cboName");
    emit names->activated(names->findText("courtesy.wav"));
    Click(*Find<QWidget>(d, "EventsSheet"), "btnPreview");
    EXPECT_EQ(backend_->Playback, nullptr) << "nothing plays over the transmission";
    for (const QMessageBox* box : d.findChildren<QMessageBox*>())
      boxes << box->text();
    Click(d, "btnCancel");
  });
  EXPECT_EQ(boxes, QStringList{"The audio device is busy"});
}

TEST_F(PreferencesTest, AfterSaveTheWindowAndTheRecorderTakeTheNewSettings) {
  WriteSettings("[Audio]\nSourceIndex0=1\n");  // a line with a meter
  Window().show();
  Station().ChangeMode(rmSimplexRepeater);
  Settle();
  auto* sources = Window().findChild<QWidget*>("Remote")->findChild<QComboBox*>("cboSource");
  const int allLines = sources->count();
  auto* scale = Window().findChild<TScaleView*>();
  const QImage logarithmic = scale->grab().toImage();
  InDialog([&](TPreferencesDialog& d) {
    Click(d, "rboLinear");
    Click(d, "cboShowVOXOnly");
    auto* formats = Find<QComboBox>(d, "cboAttributes");
    formats->setCurrentIndex(formats->findText("22,050 Hz, 16 Bit, Mono", Qt::MatchStartsWith));
    emit formats->activated(formats->currentIndex());
    Click(d, "btnSave");
  });
  EXPECT_LT(sources->count(), allLines);
  EXPECT_NE(scale->grab().toImage(), logarithmic);
  const TWaveFormat& format = Station().RecordingFormat();
  EXPECT_EQ(format.SamplesPerSec, 22050u);
  EXPECT_EQ(format.BitsPerSample, 16);
  EXPECT_EQ(format.Channels, 1);
}

}  // namespace
}  // namespace tarvok
