#include "support/station_fixture.h"

namespace tarvok {
namespace {

using enum TStateButton;
using enum TIndicatorColour;

class ModeControlTest : public StationTest {};

TEST_F(ModeControlTest, StateButtonsStoreTheControlSettingAndSendTheirRequest) {
  Config().SetState(csVox);
  Start();
  Click(RepeaterForceXmit);
  EXPECT_EQ(Config().State(), csForcedOn);
  EXPECT_EQ(ModeState(), msForcedOn);
  EXPECT_TRUE(Keyed());
  Click(RepeaterForceRecv);
  EXPECT_EQ(Config().State(), csForcedOff);
  EXPECT_EQ(ModeState(), msForcedOff);
  EXPECT_FALSE(Keyed());
  Click(RepeaterVox);
  EXPECT_EQ(Config().State(), csVox);
  EXPECT_EQ(ModeState(), msNoSignal);
  // A click on the button already checked is no click.
  Config().SetState(csForcedOn);
  Click(RepeaterVox);
  EXPECT_EQ(Config().State(), csForcedOn);
}

TEST_F(ModeControlTest, EnabledVoxIsCarriedIntoTheNextMode) {
  Config().SetState(csVox);
  Start();
  Menu(rmSimplexRepeater);
  EXPECT_TRUE(Checked(SimplexVox));
  EXPECT_EQ(Config().State(), csVox);
  Menu(rmBeaconStation);
  EXPECT_TRUE(Checked(BeaconVox));
  EXPECT_EQ(Config().State(), csVox);
}

TEST_F(ModeControlTest, ForcedControlGivesTheNextModeItsPassiveButton) {
  Config().SetState(csForcedOn);
  Start();
  ASSERT_TRUE(Keyed());
  Menu(rmSimplexRepeater);
  EXPECT_TRUE(Checked(SimplexListen));
  EXPECT_EQ(Config().State(), csForcedOff);
  EXPECT_EQ(ModeState(), msListen);
  EXPECT_FALSE(Keyed());
  Menu(rmInternetRepeater);
  EXPECT_TRUE(Checked(RepeaterForceRecv));
}

TEST_F(ModeControlTest, AModeWhoseButtonIsCheckedAlreadyStillLeavesTheKeyedState) {
  // Beacon Station's buttons keep their check from an earlier visit.
  Start();
  Menu(rmBeaconStation);
  Click(BeaconListen);
  Menu(rmInternetRepeater);
  Click(RepeaterForceXmit);
  ASSERT_TRUE(Keyed());
  Menu(rmBeaconStation);
  EXPECT_TRUE(Checked(BeaconListen));
  EXPECT_EQ(Config().State(), csForcedOff);
  EXPECT_FALSE(Keyed());

  Menu(rmInternetRepeater);
  Click(RepeaterVox);
  Menu(rmBeaconStation);
  Menu(rmInternetRepeater);
  Request(TSender::Trace, msSignal);
  ASSERT_TRUE(Keyed());
  Menu(rmBeaconStation);
  EXPECT_TRUE(Checked(BeaconVox));
  EXPECT_FALSE(Keyed());
}

TEST_F(ModeControlTest, MenusAndPagesFollowTheMode) {
  int beaconListShown = 0;
  QObject::connect(&station_->Modes(), &TModeControl::BeaconListShown, [&] { ++beaconListShown; });
  Start();
  const TModeControl& modes = station_->Modes();
  EXPECT_TRUE(modes.RecorderMenuEnabled());
  Menu(rmBeaconStation);
  EXPECT_EQ(modes.CheckedModeItem(), rmBeaconStation);
  EXPECT_FALSE(modes.RecorderMenuEnabled());
  EXPECT_EQ(modes.Pages().ControlPage, TControlPage::Beacon);
  EXPECT_TRUE(modes.Pages().BeaconTabVisible);
  EXPECT_EQ(modes.Pages().ActivePage, TGeneralPage::Beacon);
  EXPECT_EQ(beaconListShown, 1);
  Menu(rmSimplexRepeater);
  EXPECT_FALSE(modes.Pages().BeaconTabVisible);
  EXPECT_EQ(modes.Pages().ActivePage, TGeneralPage::General);
  station_->Modes().SetActivePage(TGeneralPage::Dtmf);
  Menu(rmBeaconStation);
  EXPECT_EQ(modes.Pages().ActivePage, TGeneralPage::Dtmf);
  EXPECT_EQ(beaconListShown, 1);
}

TEST_F(ModeControlTest, SchedulerWaitsUnkeyedAndAMenuChoiceSwitchesItOff) {
  Config().SetState(csForcedOn);
  Start();
  ASSERT_TRUE(Keyed());
  station_->Modes().ToggleScheduler();
  Settle();
  EXPECT_TRUE(station_->State().SchedulerOn);
  EXPECT_EQ(Mode(), rmNone);
  EXPECT_FALSE(Keyed());
  EXPECT_EQ(station_->Display().Caption(), "Schedule - waiting");
  EXPECT_EQ(station_->Modes().CheckedModeItem(), rmNone);
  EXPECT_EQ(station_->Modes().Pages().ControlPage, TControlPage::Scheduler);
  EXPECT_EQ(station_->Modes().Pages().ActivePage, TGeneralPage::Scheduler);
  Request(TSender::Nobody, msForcedOn);
  EXPECT_FALSE(Keyed());

  Menu(rmSimplexRepeater);
  EXPECT_FALSE(station_->State().SchedulerOn);
  EXPECT_FALSE(station_->Modes().Pages().SchedulerTabVisible);
  EXPECT_EQ(Mode(), rmSimplexRepeater);
  EXPECT_EQ(station_->Display().Caption(), "Simplex Repeater");
}

TEST_F(ModeControlTest, SavedSchedulerIsSwitchedOnAgain) {
  Config().SetSaveMode(true);
  Config().SetDefaultState(1);
  Start();
  EXPECT_TRUE(station_->State().SchedulerOn);
}

TEST_F(ModeControlTest, IndicatorShowsEveryModeAndState) {
  const TIndicator shown{"previous", Green};
  const struct {
    TRepeaterMode Mode;
    TModeState State;
    bool Keyed;
    TIndicator Expected;
  } cases[] = {
      {rmInternetRepeater, msSignal, true, {"TRANSMITTING", Red}},
      {rmInternetRepeater, msCourtesy, true, {"TRANSMITTING COURTESY", Red}},
      {rmInternetRepeater, msListen, false, {"previous", Green}},
      {rmSimplexRepeater, msForcedOn, false, {"RECORDING", Blue}},
      {rmSimplexRepeater, msNoSignal, true, {"TRANSMITTING", Red}},
      {rmSimplexRepeater, msListen, false, {"LISTENING", Green}},
      {rmSimplexRepeater, msIdent, true, {"TRANSMITTING ID", Red}},
      {rmSimplexRepeater, msCWTone, true, {"TRANSMITTING CW TONE", Red}},
      {rmSimplexRepeater, msDefault, true, {"previous", Red}},
      {rmBeaconStation, msSignal, false, {"CHANNEL BUSY", Blue}},
      {rmBeaconStation, msNoSignal, false, {"CHANNEL FREE", Green}},
      {rmBeaconStation, msSignal, true, {"TRANSMITTING EVENT", Red}},
      {rmBeaconStation, msNoSignal, true, {"TRANSMITTING EVENT", Red}},
      {rmBeaconStation, msBeaconCW, true, {"TRANSMITTING CW EVENT", Red}},
      {rmNone, msNoSignal, false, {"receiving", Green}},
      {rmNone, msSignal, true, {"receiving", Red}},
  };
  for (const auto& c : cases) {
    const TIndicator next = NextIndicator(shown, c.Mode, c.State, c.Keyed);
    EXPECT_EQ(next.Caption, c.Expected.Caption) << int(c.Mode) << " " << int(c.State);
    EXPECT_EQ(next.Colour, c.Expected.Colour) << int(c.Mode) << " " << int(c.State);
  }
}

TEST_F(ModeControlTest, ListeningSimplexStationShowsForceListen) {
  int changes = 0;
  QObject::connect(station_.get(), &TStation::IndicatorChanged, [&] { ++changes; });
  StartSimplexWithVox();
  Click(SimplexForceRecord);
  EXPECT_EQ(station_->Indicator().Caption, "RECORDING");
  EXPECT_EQ(station_->Indicator().Colour, Blue);
  Request(TSender::Nobody, msListen);
  EXPECT_TRUE(Checked(SimplexListen));
  EXPECT_EQ(Config().State(), csForcedOn);  // checked without a click
  EXPECT_EQ(station_->Indicator().Caption, "LISTENING");
  EXPECT_GE(changes, 3);
}

}  // namespace
}  // namespace tarvok
