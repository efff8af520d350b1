#include "core/dtmf/digital_filter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <numbers>

#include "core/storage/ini_file.h"
#include "support/tone_block.h"

namespace tarvok {
namespace {

int Peak(const TFourier::TBlock& block) {
  int peak = 0;
  for (std::int32_t sample : block)
    peak = std::max(peak, std::abs(sample));
  return peak;
}

TEST(DigitalFilterTest, StepsAreRatiosOf1_3And1_05) {
  TDigitalFilter filter;
  filter.SetGainStep(0, 3);
  EXPECT_NEAR(filter.Gain(0), 2.197, 1e-9);
  EXPECT_EQ(filter.GainStep(0), 3);
  filter.SetGainStep(9, 10);
  EXPECT_NEAR(filter.Gain(9), 13.786, 1e-3);
  filter.SetGainStep(9, -10);
  EXPECT_NEAR(filter.Gain(9), 0.0725, 1e-4);
  EXPECT_EQ(filter.GainStep(9), -10);
  EXPECT_EQ(filter.Gain(1), 1.0);
  filter.SetScaleStep(20);
  EXPECT_NEAR(filter.FFTScale(), 2.6533, 1e-4);
  filter.SetScaleStep(-20);
  EXPECT_NEAR(filter.FFTScale(), 0.3769, 1e-4);
  EXPECT_EQ(filter.ScaleStep(), -20);
}

TEST(DigitalFilterTest, UnityGainsGiveBackTheBlockAndZerosStayZero) {
  TDigitalFilter filter;
  filter.Samples() = ToneBlock({{100.3, 9000}, {700.8, 5000, 1}, {1000, 3000}});
  filter.Filter();
  EXPECT_EQ(filter.Filtered(), filter.Samples());

  for (int band = 0; band < TDigitalFilter::kBands; ++band)
    filter.SetGainStep(band, band - 5);
  filter.SetScaleStep(20);
  filter.Samples().fill(0);
  filter.Filter();
  EXPECT_EQ(Peak(filter.Filtered()), 0);
}

// A tone gets its band's gain whatever its phase, and other bands are left alone.
TEST(DigitalFilterTest, ABandGainScalesToneOfEveryPhase) {
  TDigitalFilter filter;
  filter.SetGainStep(2, -10);  // band 2 holds bins 204 .. 305, 1000 Hz is bin 256
  for (double phase : {0.0, std::numbers::pi / 2, 1.0}) {
    filter.Samples() = ToneBlock({{256, 20000, phase}});
    filter.Filter();
    EXPECT_NEAR(Peak(filter.Filtered()), Peak(filter.Samples()) * filter.Gain(2), 2)
        << "phase " << phase;
    filter.Samples() = ToneBlock({{50, 20000, phase}});
    filter.Filter();
    EXPECT_NEAR(Peak(filter.Filtered()), Peak(filter.Samples()), 2) << "phase " << phase;
  }
}

TEST(DigitalFilterTest, OutputIsClippedTo16BitsAtBothEnds) {
  TDigitalFilter filter;
  filter.SetScaleStep(20);
  TFourier::TBlock& samples = filter.Samples();
  std::fill(samples.begin(), samples.begin() + 1024, -32768);
  std::fill(samples.begin() + 1024, samples.end(), 32767);
  filter.Filter();
  EXPECT_EQ(filter.Filtered()[10], -32768);
  EXPECT_EQ(filter.Filtered()[1500], 32767);
  EXPECT_EQ(*std::min_element(filter.Filtered().begin(), filter.Filtered().end()), -32768);
  EXPECT_EQ(*std::max_element(filter.Filtered().begin(), filter.Filtered().end()), 32767);
}

TEST(DigitalFilterTest, FilteringAlsoDetectsTheKey) {
  TDigitalFilter filter;
  filter.SetLevel(10);
  filter.SetGainStep(3, -10);  // band 3 (bins 306 .. 407) holds the high tone of key 9
  filter.Samples() = ToneBlock({{220, 1000}, {380, 1000}});
  filter.Filter();
  EXPECT_EQ(filter.Decode(), '9');
}

class DigitalFilterSettingsTest : public ::testing::Test {
 protected:
  void Write(const QByteArray& content) {
    QFile file(path_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  QTemporaryDir dir_;
  QString path_ = dir_.filePath("tarvok.ini");
};

TEST_F(DigitalFilterSettingsTest, LoadKeepsTheCurrentStepOfAMissingOrMalformedKey) {
  Write(
      "[Audio]\nEqualizer0=9\n[Filter]\nEqualizer0=2\nEqualizer1=-3\nEqualizer2=x\n"
      "Equalizer3=10\nEqualizer5=-10\nEqualizer6=0\nEqualizer7=1\nEqualizer8=1\nEqualizer9=7\n"
      "FFTScale=-4\n");
  TDigitalFilter filter;
  filter.SetGainStep(2, 5);
  filter.SetGainStep(4, 6);
  filter.Load(TIniFile(path_));
  const int expected[] = {2, -3, 5, 10, 6, -10, 0, 1, 1, 7};
  for (int band = 0; band < TDigitalFilter::kBands; ++band)
    EXPECT_EQ(filter.GainStep(band), expected[band]) << "band " << band;
  EXPECT_EQ(filter.ScaleStep(), -4);
  EXPECT_NEAR(filter.FFTScale(), 1 / std::pow(1.05, 4), 1e-12);
}

TEST_F(DigitalFilterSettingsTest, SaveWritesTheElevenStepsForTheNextLoad) {
  Write("[Filter]\n; my equalizer\nEqualizer4=1\n");
  TIniFile ini(path_);
  TDigitalFilter filter;
  for (int band = 0; band < TDigitalFilter::kBands; ++band)
    filter.SetGainStep(band, 10 - band * 2);
  filter.SetScaleStep(-20);
  ASSERT_TRUE(filter.Save(ini));

  TDigitalFilter loaded;
  loaded.Load(ini);
  for (int band = 0; band < TDigitalFilter::kBands; ++band)
    EXPECT_EQ(loaded.GainStep(band), 10 - band * 2) << "band " << band;
  EXPECT_EQ(loaded.ScaleStep(), -20);
  EXPECT_EQ(ini.ReadString("Filter", "Equalizer9", ""), "-8");
  QFile file(path_);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("; my equalizer"));
}

}  // namespace
}  // namespace tarvok
