// The gain control's arithmetic: when it moves the fader, how far, and how often.
#include "core/station/agc_control.h"

#include <gtest/gtest.h>

namespace tarvok {
namespace {

// Linear band 8000 .. 16000 around 12000, with a signal, the fader at 16000.
TAgcInput Input(std::int32_t level, int nowMs, int position = 16000) {
  TAgcInput input;
  input.Enabled = true;
  input.SignalPresent = true;
  input.Level = level;
  input.NowMs = nowMs;
  input.Levels = {78, 84, 8000, 16000, 12000};
  input.Position = position;
  return input;
}

TEST(AgcControlTest, MovesTheFaderTowardsTheMiddleOfTheBand) {
  TAgcControl agc;
  // A reading of 48000 from 0 makes a running level of 24000: the fader halves.
  EXPECT_EQ(agc.Tick(Input(48000, 1000)), 8000);
  EXPECT_EQ(agc.RunningLevel(), 24000u);

  TAgcControl quiet;
  EXPECT_EQ(quiet.Tick(Input(8000, 1000, 10000)), 30000);  // running level 4000
  TAgcControl loud;
  EXPECT_EQ(loud.Tick(Input(2000, 1000, 32768)), 32768);  // never beyond the fader's end
}

TEST(AgcControlTest, NeverMovesBelowPosition1000) {
  TAgcControl agc;
  EXPECT_EQ(agc.Tick(Input(48000, 1000, 1500)), std::nullopt);  // 750 would be too low
  TAgcControl edge;
  EXPECT_EQ(edge.Tick(Input(48000, 1000, 2000)), 1000);
}

TEST(AgcControlTest, MovesAtMostOncePer200Milliseconds) {
  TAgcControl agc;
  EXPECT_EQ(agc.Tick(Input(48000, 1000)), 8000);
  EXPECT_EQ(agc.Tick(Input(48000, 1150, 8000)), std::nullopt);
  EXPECT_EQ(agc.Tick(Input(48000, 1200, 8000)), std::nullopt);
  EXPECT_TRUE(agc.Tick(Input(48000, 1201, 8000)).has_value());
  // The clock's reading wraps at the minute; that counts as time passed.
  EXPECT_TRUE(agc.Tick(Input(48000, 59950, 8000)).has_value());
  EXPECT_TRUE(agc.Tick(Input(48000, 100, 8000)).has_value());
  agc.ResetTime();
  EXPECT_FALSE(agc.Tick(Input(48000, 150, 8000)).has_value());
}

TEST(AgcControlTest, StaysStillWithinTheBandOrWithoutSignal) {
  TAgcControl agc;
  EXPECT_EQ(agc.Tick(Input(24000, 1000)), std::nullopt);  // running level 12000
  TAgcInput off = Input(48000, 2000);
  off.Enabled = false;
  EXPECT_EQ(agc.Tick(off), std::nullopt);
  TAgcInput silent = Input(48000, 3000);
  silent.SignalPresent = false;
  EXPECT_EQ(agc.Tick(silent), std::nullopt);
  EXPECT_EQ(agc.Tick(Input(0, 4000)), std::nullopt);
  EXPECT_EQ(agc.RunningLevel(), 12000u);  // only counted readings move the running level
}

TEST(AgcControlTest, ALogarithmicScaleComparesDecibels) {
  TAgcControl agc;
  TAgcInput input = Input(20000, 1000);  // running level 10000: 80 dB, inside 78 .. 84
  input.LinearScale = false;
  input.Levels = {78, 84, 78, 84, 81};
  EXPECT_EQ(agc.Tick(input), std::nullopt);
  input.Level = 120000;  // running level 65000: 96 dB
  input.NowMs = 2000;
  input.Position = 19200;
  EXPECT_EQ(agc.Tick(input), 81 * 19200 / 96);
}

}  // namespace
}  // namespace tarvok
