// The pages of the General tab through the real door: the state buttons mirror the station and
// ask it only when clicked, the Transmit edits take digits only and write at once, and the port
// and sampling-rate lists select only what they hold.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "core/config/config.h"
#include "gui/com_port_page.h"
#include "gui/control_pages.h"
#include "gui/transmit_page.h"
#include "support/station_runtime_probe.h"
#include "support/window_fixture.h"

namespace tarvok {
namespace {

using PagesTest = WindowTest;

TEST_F(PagesTest, StateButtonsMirrorTheStationAndOnlyAClickAsksIt) {
  Config().SetState(csVox);
  TControlPages pages(Station());
  auto* vox = pages.findChild<QRadioButton*>("rboEnableVOX");
  auto* xmit = pages.findChild<QRadioButton*>("rboForceXMIT");
  ASSERT_TRUE(vox && xmit);
  EXPECT_TRUE(vox->isChecked());
  const QByteArray before = Settings();

  Station().ChangeMode(rmSimplexRepeater);
  pages.Refresh();
  EXPECT_EQ(pages.currentWidget()->objectName(), "Simplex");
  EXPECT_TRUE(pages.findChild<QRadioButton*>("rboSVOX")->isChecked());
  Station().ChangeMode(rmInternetRepeater);
  pages.Refresh();
  EXPECT_EQ(Settings(), before) << "refreshing writes nothing";

  xmit->click();
  EXPECT_EQ(Stored("Audio", "State"), "1");
  EXPECT_TRUE(Station().TransmitterKeyed());
  EXPECT_FALSE(vox->isChecked());
}

TEST_F(PagesTest, TransmitEditsTakeDigitsOnlyAndWriteAtOnce) {
  TTransmitPage page(Station());
  auto* start = page.findChild<QLineEdit*>("XmitStartDelay");
  ASSERT_NE(start, nullptr);
  start->setFocus();
  start->clear();
  QTest::keyClicks(start, "2x5");
  EXPECT_EQ(start->text(), "25");
  EXPECT_EQ(TStationRuntimeProbe::Poller(Station()).Vox().OnDelay(), 25);
  auto* noise = page.findChild<QLineEdit*>("NoiseLevelLabel");
  noise->clear();
  QTest::keyClicks(noise, "40");
  EXPECT_EQ(Stored("Audio", "NoiseLevel"), "40");
  EXPECT_EQ(page.findChild<QLabel*>("TreasholdLabel")->text(), "dB [0..50]");
  auto* timeout = page.findChild<QLineEdit*>("edTxTimeout");
  EXPECT_EQ(timeout->text(), "300");
  timeout->setFocus();
  timeout->clear();
  QTest::keyClicks(timeout, "1a20");
  EXPECT_EQ(Stored("Audio", "TxTimeout"), "120");
}

TEST_F(PagesTest, UnlistedPortAndSamplingRateSelectNothing) {
  WriteSettings("[Audio]\nComPort=20\nPeakSpeed=20\n");
  TComPortPage ports(Station());
  TTransmitPage transmit(Station());
  EXPECT_EQ(ports.findChild<QComboBox*>("cboComPort")->currentIndex(), -1);
  EXPECT_EQ(transmit.findChild<QComboBox*>("cboPeakSpeed")->currentIndex(), -1);
  EXPECT_EQ(Station().RefreshInterval(), 50);
}

TEST_F(PagesTest, ChoosingAComPortWritesItAndClearsTheDevice) {
  WriteSettings("[Audio]\nComDevice=virtual\n");
  TComPortPage page(Station());
  auto* ports = page.findChild<QComboBox*>("cboComPort");
  EXPECT_EQ(ports->currentText(), "virtual");
  const int com3 = ports->findText("COM3");
  ASSERT_GE(com3, 0);
  emit ports->activated(com3);
  EXPECT_EQ(Stored("Audio", "ComPort"), "3");
  EXPECT_EQ(Stored("Audio", "ComDevice"), "");
  page.findChild<QRadioButton*>("rboRTS")->click();
  EXPECT_EQ(Stored("Audio", "ComPin"), "1");
}

}  // namespace
}  // namespace tarvok
