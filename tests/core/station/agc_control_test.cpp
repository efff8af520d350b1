// The gain control's arithmetic: when it moves the fader, how far, and how often.
#include "core/station/agc_control.h"

#include <gtest/gtest.h>

#include "core/common/clock.h"

namespace tarvok {
namespace {

// Linear band 8000 .. 16000 around 12000, with a signal, the fader at 16000.
TAgcInput Input(std::int32_t level, int position = 16000) {
  TAgcInput input;
  input.Enabled = true;
  input.SignalPresent = true;
  input.Level = level;
  input.Levels = {78, 84, 8000, 16000, 12000};
  input.Position = position;
  return input;
}

class AgcControlTest : public ::testing::Test {
 protected:
  // A tick at nowMs milliseconds past the minute.
  std::optional<int> Tick(TAgcControl& agc, const TAgcInput& input, int nowMs) {
    clock_.Set(QDateTime(QDate(2026, 12, 5), QTime(7, 0).addMSecs(nowMs)));
    return agc.Tick(input, clock_);
  }

  TManualClock clock_{QDateTime()};
};

TEST_F(AgcControlTest, MovesTheFaderTowardsTheMiddleOfTheBand) {
  TAgcControl agc;
  // A reading of 48000 from 0 makes a running level of 24000: the fader halves.
  EXPECT_EQ(Tick(agc, Input(48000), 1000), 8000);
  EXPECT_EQ(agc.RunningLevel(), 24000u);

  TAgcControl quiet;
  EXPECT_EQ(Tick(quiet, Input(8000, 10000), 1000), 30000);  // running level 4000
  TAgcControl loud;
  EXPECT_EQ(Tick(loud, Input(2000, 32768), 1000), 32768);  // never beyond the fader's end
}

TEST_F(AgcControlTest, NeverMovesBelowPosition1000) {
  TAgcControl agc;
  EXPECT_EQ(Tick(agc, Input(48000, 1500), 1000), std::nullopt);  // 750 would be too low
  TAgcControl edge;
  EXPECT_EQ(Tick(edge, Input(48000, 2000), 1000), 1000);
}

TEST_F(AgcControlTest, MovesAtMostOncePer200Milliseconds) {
  TAgcControl agc;
  EXPECT_EQ(Tick(agc, Input(48000), 1000), 8000);
  EXPECT_EQ(Tick(agc, Input(48000, 8000), 1150), std::nullopt);
  EXPECT_EQ(Tick(agc, Input(48000, 8000), 1200), std::nullopt);
  EXPECT_TRUE(Tick(agc, Input(48000, 8000), 1201).has_value());
  // The clock's reading wraps at the minute; that counts as time passed.
  EXPECT_TRUE(Tick(agc, Input(48000, 8000), 59950).has_value());
  EXPECT_TRUE(Tick(agc, Input(48000, 8000), 100).has_value());
  agc.ResetTime();
  EXPECT_FALSE(Tick(agc, Input(48000, 8000), 150).has_value());
}

TEST_F(AgcControlTest, StaysStillWithinTheBandOrWithoutSignal) {
  TAgcControl agc;
  EXPECT_EQ(Tick(agc, Input(24000), 1000), std::nullopt);  // running level 12000
  TAgcInput off = Input(48000);
  off.Enabled = false;
  EXPECT_EQ(Tick(agc, off, 2000), std::nullopt);
  TAgcInput silent = Input(48000);
  silent.SignalPresent = false;
  EXPECT_EQ(Tick(agc, silent, 3000), std::nullopt);
  EXPECT_EQ(Tick(agc, Input(0), 4000), std::nullopt);
  EXPECT_EQ(agc.RunningLevel(), 12000u);  // only counted readings move the running level
}

TEST_F(AgcControlTest, ALogarithmicScaleComparesDecibels) {
  TAgcControl agc;
  TAgcInput input = Input(20000);  // running level 10000: 80 dB, inside 78 .. 84
  input.LinearScale = false;
  input.Levels = {78, 84, 78, 84, 81};
  EXPECT_EQ(Tick(agc, input, 1000), std::nullopt);
  input.Level = 120000;  // running level 65000: 96 dB
  input.Position = 19200;
  EXPECT_EQ(Tick(agc, input, 2000), 81 * 19200 / 96);
}

}  // namespace
}  // namespace tarvok
