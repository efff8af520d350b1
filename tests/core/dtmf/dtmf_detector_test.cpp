#include "core/dtmf/dtmf_detector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/tone_block.h"

namespace tarvok {
namespace {

// Tones that sit exactly on a bin leak into no other bin, so each test block lights exactly the
// bins it names.
constexpr double kAmplitude = 1000;

class DtmfDetectorTest : public ::testing::Test {
 protected:
  DtmfDetectorTest() { detector_.SetLevel(10); }

  // Processes one block with tones at the bins and returns what Decode reports.
  char DecodeBins(const std::vector<double>& bins) {
    TFourier::TBlock& samples = detector_.Samples();
    samples.fill(0);
    for (double bin : bins) {
      const TFourier::TBlock tone = ToneBlock({{bin, kAmplitude}});
      for (int n = 0; n < TFourier::kSize; ++n)
        samples[n] += tone[n];
    }
    detector_.Process();
    return detector_.Decode();
  }

  TDtmfDetector detector_;
};

TEST_F(DtmfDetectorTest, SearchBandsAreScaledWith2070) {
  const std::vector<std::vector<int>> expected{{305, 319}, {338, 353}, {373, 390}, {413, 431},
                                               {176, 184}, {194, 203}, {215, 225}, {238, 248}};
  for (int group = 0; group < TDtmfDetector::kGroups; ++group) {
    for (int tone = 0; tone < TDtmfDetector::kTonesPerGroup; ++tone) {
      const std::vector<int>& band = expected[group * 4 + tone];
      EXPECT_EQ(detector_.LowBin(group, tone), band[0])
          << TDtmfDetector::kTones[group][tone] << " Hz";
      EXPECT_EQ(detector_.HighBin(group, tone), band[1])
          << TDtmfDetector::kTones[group][tone] << " Hz";
    }
  }
}

TEST_F(DtmfDetectorTest, ReadsTheKeyOfOneToneInEachGroup) {
  EXPECT_EQ(DecodeBins({180, 310}), '1');
  EXPECT_EQ(DecodeBins({240, 420}), 'D');
  EXPECT_EQ(DecodeBins({220, 345}), '8');
  EXPECT_EQ(DecodeBins({176, 431}), 'A');  // the first and the last bin of a band count
  EXPECT_EQ(detector_.LastKey(), 'A');
}

TEST_F(DtmfDetectorTest, TwoTonesInAGroupOrOneGroupAloneIsNoKey) {
  ASSERT_EQ(DecodeBins({180, 310}), '1');
  EXPECT_EQ(DecodeBins({180, 310, 340}), TDtmfDetector::kNoKey);
  EXPECT_EQ(detector_.LastKey(), TDtmfDetector::kNoKey);
  EXPECT_TRUE(detector_.ToneFlag(0, 0));
  EXPECT_TRUE(detector_.ToneFlag(0, 1));
  EXPECT_EQ(DecodeBins({180, 200, 310}), TDtmfDetector::kNoKey);
  EXPECT_EQ(DecodeBins({310}), TDtmfDetector::kNoKey);
  EXPECT_EQ(DecodeBins({180}), TDtmfDetector::kNoKey);
}

TEST_F(DtmfDetectorTest, BinsJustOutsideABandDoNotCount) {
  EXPECT_EQ(DecodeBins({175, 310}), TDtmfDetector::kNoKey);
  EXPECT_FALSE(detector_.ToneFlag(1, 0));
  EXPECT_EQ(DecodeBins({185, 310}), TDtmfDetector::kNoKey);
  EXPECT_FALSE(detector_.ToneFlag(1, 0));
  EXPECT_EQ(DecodeBins({180, 304}), TDtmfDetector::kNoKey);
  EXPECT_EQ(DecodeBins({180, 320}), TDtmfDetector::kNoKey);
}

TEST_F(DtmfDetectorTest, ALevelEqualToTheThresholdDoesNotCount) {
  DecodeBins({180, 310});
  const int toneLevel = std::min(detector_.Levels()[180], detector_.Levels()[310]);
  detector_.SetLevel(toneLevel);
  detector_.DetectTones();
  EXPECT_EQ(detector_.Decode(), TDtmfDetector::kNoKey);
  detector_.SetLevel(toneLevel - 1);
  detector_.DetectTones();
  EXPECT_EQ(detector_.Decode(), '1');
}

TEST_F(DtmfDetectorTest, AHeldKeyIsReportedOnceAndARepeatAfterAGapAgain) {
  std::string reported;
  for (const auto& bins : {std::vector<double>{200, 345},
                           {200, 345},
                           {200, 345},
                           {},
                           {200, 345},
                           {200, 345},
                           {180, 345},
                           {200, 345}}) {
    if (const char key = DecodeBins(bins); key != TDtmfDetector::kNoKey)
      reported += key;
  }
  EXPECT_EQ(reported, "5525");
}

}  // namespace
}  // namespace tarvok
