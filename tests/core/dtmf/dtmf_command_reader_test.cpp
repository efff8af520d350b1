// Commands read from keys as a handheld radio sends them, with PIN 2468.
#include "core/dtmf/dtmf_command_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvok {
namespace {

using TOutcome = TDtmfCommandReader::TOutcome;

// Sends the keys one second apart from `ms` on, and returns what the last one completed.
TOutcome Send(TDtmfCommandReader& reader, const std::string& keys, std::int64_t ms = 0,
              std::int64_t spacing = 1000) {
  TOutcome outcome = TOutcome::None;
  for (const char key : keys) {
    outcome = reader.Take(key, ms);
    ms += spacing;
  }
  return outcome;
}

TEST(DtmfCommandReaderTest, EachCodeNamesItsCommand) {
  const struct {
    std::string Keys;
    TDtmfCommandCode Code;
    int Argument;
  } cases[] = {
      {"*246812#", TDtmfCommandCode::Mode, 2},
      {"*246823#", TDtmfCommandCode::State, 3},
      {"*246830#", TDtmfCommandCode::SchedulerOff, 0},
      {"*246831#", TDtmfCommandCode::SchedulerOn, 0},
      {"*24684#", TDtmfCommandCode::Identify, 0},
      {"*24685#", TDtmfCommandCode::Status, 0},
  };
  for (const auto& c : cases) {
    TDtmfCommandReader reader("2468");
    EXPECT_EQ(Send(reader, c.Keys), TOutcome::Command) << c.Keys;
    EXPECT_EQ(reader.Command().Code, c.Code) << c.Keys;
    EXPECT_EQ(reader.Command().Argument, c.Argument) << c.Keys;
  }
  TDtmfCommandReader reader("2468");
  for (const std::string keys :
       {"*246814#", "*24683#", "*246832#", "*24686#", "*2468#", "*2468444#"})
    EXPECT_EQ(Send(reader, keys), TOutcome::Unknown) << keys;
}

TEST(DtmfCommandReaderTest, AnEntryRunsFromStarToHashWithinFiveSecondsAKey) {
  TDtmfCommandReader reader("2468");
  EXPECT_EQ(Send(reader, "12*246"), TOutcome::None);
  EXPECT_TRUE(reader.Entering());
  EXPECT_FALSE(reader.PinHeard());
  Send(reader, "8");
  EXPECT_TRUE(reader.PinHeard());
  EXPECT_EQ(Send(reader, "5#"), TOutcome::Command);
  EXPECT_FALSE(reader.Entering());
  // "*" starts over, A to D and a lost block abandon the entry.
  EXPECT_EQ(Send(reader, "*13*24685#"), TOutcome::Command);
  EXPECT_EQ(Send(reader, "*2468A5#"), TOutcome::None);
  Send(reader, "*2468");
  reader.Restart();
  EXPECT_EQ(Send(reader, "5#"), TOutcome::None);
  // Digits 6 s apart start over; 5 s apart do not.
  EXPECT_EQ(Send(reader, "*24685#", 0, 6000), TOutcome::None);
  EXPECT_EQ(Send(reader, "*24685#", 100000, 5000), TOutcome::Command);
}

TEST(DtmfCommandReaderTest, ThreeWrongPinsWithinTenMinutesLockEntryForTenMinutes) {
  TDtmfCommandReader reader("2468");
  EXPECT_EQ(Send(reader, "*13575#", 0), TOutcome::WrongPin);
  EXPECT_EQ(Send(reader, "*246#", 60000), TOutcome::WrongPin);
  // The first wrong PIN has aged out of the window: still two.
  EXPECT_EQ(Send(reader, "*124685#", 610000), TOutcome::WrongPin);
  EXPECT_EQ(Send(reader, "*00005#", 620000), TOutcome::Locked);
  EXPECT_TRUE(reader.LockedAt(620000 + 599000));
  EXPECT_EQ(Send(reader, "*24685#", 630000), TOutcome::None);
  EXPECT_FALSE(reader.Entering());
  Send(reader, "*2468", 640000);
  EXPECT_TRUE(reader.PinHeard()) << "a locked entry still carries the PIN";
  EXPECT_EQ(Send(reader, "*24685#", 1230000), TOutcome::Command);
}

TEST(DtmfCommandReaderTest, OnlyFourToEightDigitsMakeAPin) {
  EXPECT_TRUE(TDtmfCommandReader::ValidPin("2468"));
  EXPECT_TRUE(TDtmfCommandReader::ValidPin("01234567"));
  for (const std::string pin : {"", "246", "123456789", "24a8", "24 8", "*246"})
    EXPECT_FALSE(TDtmfCommandReader::ValidPin(pin)) << pin;
}

}  // namespace
}  // namespace tarvok
