#include <QFile>

#include "core/schedule/morse_code.h"
#include "support/station_fixture.h"

namespace tarvok {
namespace {

using enum TStateButton;

class EngineTest : public StationTest {
 protected:
  void RaiseVoxFlag() {
    poller_->SetVoxThreshold(0);
    poller_->SetVoxOnDelay(0);
    poller_->Reset();
    poller_->Vox().Update(1000);
    ASSERT_TRUE(poller_->VoxPresent());
  }
  void AddBeacon(const QString& name, const QString& cw, const QString& wave = {}) {
    TBeacon beacon(clock_);
    beacon.Name = name;
    beacon.CWString = cw;
    beacon.WaveFile = wave;
    beacon.Enabled = true;
    beacon.Min = "16";
    beacon.Hour = "10";
    Config().Beacons().Add(beacon);
  }
  void StartBeaconStation() {
    Config().SetState(csVox);
    Start();
    Menu(rmBeaconStation);
    Request(TSender::Trace, msNoSignal);  // the VOX tick of a free channel
    ASSERT_EQ(ModeState(), msNoSignal);
  }
};

TEST_F(EngineTest, RepeatedRequestsAreAbsorbedFromControlsButNotFromNobody) {
  StartSimplexWithVox();
  Request(TSender::Trace, msSignal);
  EXPECT_EQ(TakeLog(), (QStringList{"stop record", "record"}));
  Request(TSender::Trace, msSignal);
  EXPECT_TRUE(TakeLog().isEmpty());
  Request(TSender::Nobody, msSignal);
  EXPECT_EQ(TakeLog(), (QStringList{"stop record", "record"}));
}

TEST_F(EngineTest, RequestsAboveTwelveActAsForcedOff) {
  Config().SetState(csVox);
  Start();
  for (int request : {13, 255, -1}) {
    Request(TSender::Trace, msSignal);
    ASSERT_TRUE(port_.Dtr);
    Request(TSender::Trace, request);
    EXPECT_EQ(ModeState(), msForcedOff) << request;
    EXPECT_FALSE(port_.Dtr);
  }
}

TEST_F(EngineTest, InternetRepeaterKeysWithTheVoxAndRunsTheTimersOnlyWhileReceiving) {
  Config().SetState(csVox);
  Start();
  EXPECT_TRUE(station_->Engine().IdentTimerActive());
  Request(TSender::Trace, msSignal);
  EXPECT_TRUE(Keyed());
  EXPECT_FALSE(station_->Engine().QstTimerActive());
  Request(TSender::Trace, msNoSignal);
  EXPECT_EQ(ModeState(), msNoSignal);
  EXPECT_FALSE(Keyed());
  EXPECT_TRUE(station_->Engine().QstTimerActive());
}

TEST_F(EngineTest, CourtesyToneIsNotCutByTheVoxAndItsEndClearsTheVoxFlags) {
  Config().SetWAVFile(aeCourtesyTone, MakeWav("courtesy.wav"));
  Config().SetState(csVox);
  Start();
  Request(TSender::Trace, msSignal);
  Request(TSender::Trace, msNoSignal);
  EXPECT_EQ(ModeState(), msCourtesy);
  EXPECT_TRUE(Keyed());
  EXPECT_EQ(TakeLog(), QStringList{"play 1"});
  RaiseVoxFlag();
  Request(TSender::Trace, msSignal);
  EXPECT_EQ(ModeState(), msCourtesy);
  EndPlayback();
  EXPECT_EQ(ModeState(), msNoSignal);
  EXPECT_FALSE(Keyed());
  EXPECT_FALSE(poller_->VoxPresent());
}

TEST_F(EngineTest, CourtesyToneDeletedFromDiskReleasesAtOnce) {
  Config().SetWAVFile(aeCourtesyTone, MakeWav("courtesy.wav"));
  Config().SetState(csVox);
  Start();
  Request(TSender::Trace, msSignal);
  QFile::remove(Config().WAVFile(aeCourtesyTone));
  Request(TSender::Trace, msNoSignal);
  EXPECT_EQ(ModeState(), msNoSignal);
  EXPECT_FALSE(Keyed());
  EXPECT_TRUE(TakeLog().isEmpty());
  EXPECT_FALSE(station_->State().RetryPending);
}

TEST_F(EngineTest, SimplexSendsPendingMessagesInPriorityOrderThenListens) {
  Config().SetWAVFile(aeTimeout, MakeWav("timeout.wav"));
  Config().SetWAVFile(aeQst, MakeWav("qst.wav"));
  Config().SetWAVFile(aeRepeaterId, MakeWav("id.wav"));
  Config().SetCWString(aeRepeaterId, "id");
  Config().SetLimitRecordSize(100000);
  StartSimplexWithVox();
  Request(TSender::Trace, msSignal);
  ASSERT_EQ(ModeState(), msSignal);
  station_->Engine().IdentTimerTick();
  station_->Engine().QstTimerTick();
  recorder_->Written = 100001;
  Tick();  // over the size limit: played back now, the time-out follows
  EXPECT_EQ(ModeState(), msNoSignal);
  EXPECT_TRUE(Keyed());
  TakeLog();
  const std::pair<int, const char*> chain[] = {
      {msTimeout, "play 4"}, {msQST, "play 3"}, {msIdent, "play 2"}, {msCWTone, "play 5"}};
  for (const auto& [state, play] : chain) {
    EndPlayback();
    EXPECT_EQ(ModeState(), state);
    EXPECT_TRUE(Keyed());
    EXPECT_EQ(TakeLog(), QStringList{play});
  }
  EXPECT_EQ(recorder_->CWText, TextToCWElements("ID"));
  EndPlayback();
  EXPECT_EQ(ModeState(), msListen);
  EXPECT_FALSE(Keyed());
  EXPECT_EQ(TakeLog(), QStringList{"listen"});
  EXPECT_EQ(station_->Indicator().Caption, "LISTENING");
}

TEST_F(EngineTest, SimplexSendsTheCWIdentificationAtOnceWithoutAnIdentificationWav) {
  Config().SetCWString(aeRepeaterId, "id");
  Config().SetWAVFile(aeCourtesyTone, MakeWav("courtesy.wav"));
  StartSimplexWithVox();
  Request(TSender::Trace, msSignal);
  station_->Engine().IdentTimerTick();
  Request(TSender::Trace, msNoSignal);
  TakeLog();
  EndPlayback();
  EXPECT_EQ(ModeState(), msCWTone);
  EXPECT_EQ(TakeLog(), QStringList{"play 5"});
  EndPlayback();
  EXPECT_EQ(ModeState(), msListen);
}

TEST_F(EngineTest, SimplexPlaysTheCourtesyToneAfterAPlaybackWithNothingPending) {
  Config().SetWAVFile(aeCourtesyTone, MakeWav("courtesy.wav"));
  StartSimplexWithVox();
  Transmission();
  EXPECT_EQ(TakeLog(), (QStringList{"stop record", "record", "stop record", "play 0"}));
  EndPlayback();
  EXPECT_EQ(ModeState(), msCourtesy);
  EndPlayback();
  EXPECT_EQ(ModeState(), msListen);
  EXPECT_FALSE(Keyed());
}

TEST_F(EngineTest, SimplexRefusesRequestsDuringPlaybackExceptListen) {
  StartSimplexWithVox();
  Transmission();
  ASSERT_EQ(ModeState(), msNoSignal);
  TakeLog();
  Request(TSender::Station, msForcedOff);
  Request(TSender::Nobody, msNoSignal);
  Request(TSender::Trace, msSignal);
  EXPECT_EQ(ModeState(), msNoSignal);
  EXPECT_TRUE(TakeLog().isEmpty());
  Request(TSender::Station, msListen);
  EXPECT_EQ(ModeState(), msListen);
  EXPECT_FALSE(Keyed());
  EXPECT_EQ(TakeLog().first(), "stop play");
}

TEST_F(EngineTest, SimplexSendsAMessageThatFallsDueWhileListeningAtOnce) {
  Config().SetWAVFile(aeQst, MakeWav("qst.wav"));
  StartSimplexWithVox();
  TakeLog();
  station_->Engine().QstTimerTick();
  Settle();
  EXPECT_EQ(ModeState(), msQST);
  EXPECT_EQ(TakeLog(), (QStringList{"stop record", "play 3"}));
}

TEST_F(EngineTest, PlaybackThatCannotStartArmsTheRetryOnlyWhenItsSourceExists) {
  StartSimplexWithVox();
  recorder_->FailPlay = true;
  Transmission();
  EXPECT_EQ(ModeState(), msSignal);
  EXPECT_TRUE(station_->State().RetryPending);
  EXPECT_EQ(station_->State().RetryCountdown, 5);

  Config().SetWAVFile(aeCourtesyTone, MakeWav("courtesy.wav"));
  QFile::remove(Config().WAVFile(aeCourtesyTone));
  station_->Engine().SetRetry(false);
  EXPECT_FALSE(station_->Engine().StartEvent(aeCourtesyTone));
  EXPECT_FALSE(station_->State().RetryPending);
}

TEST_F(EngineTest, BeaconsDueTogetherGoOutOneAfterTheOtherDespiteABusyChannel) {
  AddBeacon("first", "a");
  AddBeacon("second", "b");
  StartBeaconStation();
  At(10, 16, 1);
  Tick();
  EXPECT_EQ(ModeState(), msBeaconCW);
  EXPECT_TRUE(Keyed());
  EXPECT_EQ(recorder_->CWText, TextToCWElements("a"));
  Request(TSender::Trace, msSignal);  // channel activity does not cut the beacon
  EXPECT_EQ(ModeState(), msBeaconCW);
  EndPlayback();
  EXPECT_EQ(ModeState(), msBeaconCW);
  EXPECT_EQ(recorder_->CWText, TextToCWElements("b"));
  EndPlayback();
  EXPECT_EQ(ModeState(), msNoSignal);
  EXPECT_FALSE(Keyed());
  EXPECT_EQ(TakeLog(), (QStringList{"play 8", "play 8"}));
  EXPECT_FALSE(Config().Beacons().AnyPending());
}

TEST_F(EngineTest, BeaconWaitsWhileTheChannelIsBusyAndSendsWaveThenCW) {
  AddBeacon("both", "a", MakeWav("beacon.wav"));
  StartBeaconStation();
  Request(TSender::Trace, msSignal);
  At(10, 16, 2);
  Tick();
  Request(TSender::Trace, msBeaconWave, 0);
  EXPECT_EQ(ModeState(), msSignal);
  EXPECT_FALSE(Keyed());
  Request(TSender::Trace, msNoSignal);
  EXPECT_EQ(ModeState(), msBeaconWave);
  EXPECT_EQ(Config().WAVFile(aeBeaconWav), dir_.filePath("beacon.wav"));
  EndPlayback();
  EXPECT_EQ(ModeState(), msBeaconCW);
  EXPECT_EQ(TakeLog(), (QStringList{"play 7", "play 8"}));
}

TEST_F(EngineTest, BeaconStationUnderForcedListenEndsEveryRequestListeningUnkeyed) {
  AddBeacon("first", "a");
  StartBeaconStation();
  Click(BeaconListen);
  for (int request : {msSignal, msNoSignal, msForcedOn, msBeaconCW, msBeaconWave}) {
    Request(TSender::Nobody, request, 0);
    EXPECT_EQ(ModeState(), msListen) << request;
    EXPECT_FALSE(Keyed());
  }
  EXPECT_TRUE(TakeLog().isEmpty());
}

TEST_F(EngineTest, BeaconRequestWithAnIndexOutsideTheListIsIgnored) {
  StartBeaconStation();
  Request(TSender::Nobody, msBeaconCW, 3);
  Request(TSender::Nobody, msBeaconWave, -1);
  EXPECT_EQ(ModeState(), msNoSignal);
  EXPECT_FALSE(Keyed());
}

TEST_F(EngineTest, LaptopStopsCapturingWhileABeaconPlays) {
  Config().SetIsLaptop(true);
  AddBeacon("first", "a");
  StartBeaconStation();
  EXPECT_TRUE(soundCard_->Capturing());
  At(10, 16, 1);
  Tick();
  EXPECT_FALSE(soundCard_->Capturing());
  EndPlayback();
  EXPECT_TRUE(soundCard_->Capturing());
}

TEST_F(EngineTest, CWTestPausesListeningAndWhatFellDueMeanwhileFollowsIt) {
  Config().SetWAVFile(aeQst, MakeWav("qst.wav"));
  StartSimplexWithVox();
  EXPECT_EQ(station_->PlayCWTest("#. ..."), "");
  EXPECT_EQ(recorder_->CWText, ". ...");
  EXPECT_EQ(station_->PlayCWTest("SOS"), "") << "a test still playing gives way to the next";
  EXPECT_EQ(recorder_->CWText, ". . .       ... ... ...       . . .       ");
  EXPECT_EQ(TakeLog(), (QStringList{"stop record", "play 6", "stop play", "play 6"}));
  Settle();
  EXPECT_EQ(TakeLog(), QStringList{}) << "the first test's end resumes nothing yet";

  station_->Engine().QstTimerTick();  // falls due while the test plays: it waits
  Settle();
  EXPECT_EQ(TakeLog(), QStringList{});
  EndPlayback();
  EXPECT_EQ(TakeLog(), (QStringList{"listen", "stop record", "play 3"}));
  EXPECT_EQ(ModeState(), msQST);
  EXPECT_EQ(station_->PlayCWTest("E"), "The audio device is busy");
  EndPlayback();
  ASSERT_EQ(ModeState(), msListen);

  Request(TSender::Trace, msSignal);
  TakeLog();
  EXPECT_EQ(station_->PlayCWTest("E"), "The audio device is busy") << "a transmission is recorded";
  EXPECT_EQ(station_->PlayCWTest(""), "");
  EXPECT_EQ(TakeLog(), QStringList{});
}

TEST_F(EngineTest, TheEndOfACWTestIsNotTakenForTheEndOfTheStationsOwnPlayback) {
  Config().SetState(csVox);
  Start();
  Request(TSender::Trace, msSignal);
  ASSERT_TRUE(Keyed());
  EXPECT_EQ(station_->PlayCWTest("E"), "");
  EndPlayback();
  EXPECT_EQ(ModeState(), msSignal) << "the Internet Repeater still sends what the PC sends";
  EXPECT_TRUE(Keyed());
}

}  // namespace
}  // namespace tarvok
