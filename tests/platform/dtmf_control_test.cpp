// Commands over the air on the virtual card: "*", the PIN, a code and "#" from the receiver.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cmath>
#include <utility>
#include <vector>

#include "core/audio/wav_reader.h"
#include "core/dtmf/dtmf_block_processor.h"
#include "core/schedule/morse_code.h"
#include "core/station/mode_control.h"
#include "core/station/station_runtime.h"
#include "support/whole_station_fixture.h"

namespace tarvok {
namespace {

class DtmfControlTest : public VirtualStationTest {
 protected:
  void Start(const QByteArray& pin, const QString& scenario, const QByteArray& audio = {}) {
    WriteSettings("[Audio]\nState=0\nComDevice=virtual\n" + audio +
                  "[Remote]\nRemoteEnabled=1\n[DTMFControl]\nEnabled=1\nPIN=" + pin + "\n");
    StartVirtual(scenario);
    QObject::connect(&Station(), &TStationRuntime::DtmfControlLine, [this](const QString& line) {
      lines_ << line;
      if (line == "DTMF command: status")
        status_ = "I " + clock_.Now().toString("HHmm");
    });
    QObject::connect(&Station(), &TStationRuntime::RecordingFinished,
                     [this](const QString& file) { finished_ << file; });
    QObject::connect(&Station(), &TStationRuntime::DtmfKey,
                     [this](QChar key) { lines_ << QString(key); });
  }
  bool PinLogged() const { return lines_.join('\n').contains("2468"); }

  // Morse as dots and dashes, letters apart, from tones and the gaps after them in any unit.
  static QString Morse(const std::vector<std::pair<double, double>>& toneAndGap) {
    double dot = 1e9;
    for (const auto& [tone, gap] : toneAndGap)
      dot = std::min(dot, tone);
    QString morse;
    for (const auto& [tone, gap] : toneAndGap) {
      morse += tone > 2 * dot ? '-' : '.';
      if (gap > 2 * dot)
        morse += ' ';
    }
    return morse.trimmed();
  }
  static QString MorseOf(const QString& text) {
    const QString elements = TextToCWElements(text);
    std::vector<std::pair<double, double>> runs;
    for (qsizetype at = 0; at < elements.size();) {
      qsizetype end = at;
      while (end < elements.size() && elements[end] == '.')
        ++end;
      qsizetype next = end;
      while (next < elements.size() && elements[next] == ' ')
        ++next;
      runs.emplace_back(end - at, next - end);
      at = next;
    }
    return Morse(runs);
  }
  // The CW the transmitter sent.
  QString SentMorse() const {
    std::vector<std::pair<double, double>> runs;
    for (const TToneRun& run : TransmittedRuns()) {
      if (std::abs(run.Frequency - config_->CWFrequency()) > 50.0)
        continue;
      if (!runs.empty())
        runs.back().second = run.Start - runs.back().second;
      runs.emplace_back(run.Seconds, run.Start + run.Seconds);
    }
    if (!runs.empty())
      runs.back().second = 10.0;
    return Morse(runs);
  }

  QStringList lines_;
  QString status_;  // the report due for "DTMF command: status"
  QStringList finished_;
};

TEST_F(DtmfControlTest, TheRightPinSwitchesToBeaconStationAndTheLogAndRemoteStatusAgree) {
  // The DTMF window decodes too: it shows the keys around the entry, never the entry's own.
  Start("2468", "0 rx silence\n2 rx dtmf 5*246813#7\n5 rx silence\n", "DTFMEnabled=1\n");
  ASSERT_TRUE(RunUntil([this] { return Station().State().Mode == rmBeaconStation; }, 5000));
  EXPECT_FALSE(Station().RecorderCapturing()) << "the command capture leaves the Mode menu open";
  Run(1500);
  lines_.sort();
  EXPECT_EQ(lines_, (QStringList{"5", "7", "DTMF command: mode Beacon Station"}))
      << lines_.join('|').toStdString();
  EXPECT_EQ(Station().Dtmf().TerminalLines(), QStringList{"57"});
  EXPECT_EQ(RemoteStatus().value("RepeaterMode"), "3");
  EXPECT_FALSE(PinLogged());
}

TEST_F(DtmfControlTest, CommandsAreAnsweredInCwOnceTheCarrierHasDropped) {
  // A status report, a wrong PIN, a mode change.
  Start("2468",
        "0 rx silence\n1 rx dtmf *24685# 100 50\n3 rx silence\n6 rx dtmf *13575# 100 50\n"
        "8 rx silence\n11 rx dtmf *246812# 100 50\n13 rx silence\n");
  Run(18000);
  EXPECT_EQ(Station().State().Mode, rmSimplexRepeater);
  EXPECT_EQ(SentMorse(), MorseOf(status_) + ' ' + MorseOf("NO") + ' ' + MorseOf("OK"))
      << SentMorse().toStdString();
  const std::vector<TKeyingChange> keying = KeyingLog();
  ASSERT_EQ(keying.size(), 6U);
  EXPECT_GT(keying[0].At, 2.05) << "keyed before the entry's carrier dropped";
  EXPECT_GT(keying[2].At, 7.05);
  EXPECT_GT(keying[4].At, 12.2);
}

TEST_F(DtmfControlTest, ADialogCutsAnAnswerShortAndAnAnswerWithoutClearAirIsDroppedAfterAMinute) {
  Start("2468",
        "0 rx silence\n1 rx dtmf *24685# 100 50\n3 rx silence\n4 rx dtmf *24685# 100 50\n"
        "6 rx silence\n");
  ASSERT_TRUE(RunUntil([this] { return Keyed(); }, 3000));
  const auto hold = Station().HoldForDialog();
  EXPECT_FALSE(Keyed()) << "the dialog holds the transmitter off";
  Run(64000);
  EXPECT_EQ(lines_, (QStringList{"DTMF command: status",
                                 "DTMF command refused while a dialog is open: status",
                                 "DTMF answer not sent, the air was not clear: NO"}))
      << lines_.join('|').toStdString();
  EXPECT_EQ(KeyingLog().size(), 2U);
}

TEST_F(DtmfControlTest, ASimplexRecordingThatCarriedThePinIsNeitherRepeatedNorKept) {
  // The "#" ends 100 ms before the carrier drops; a plain transmission follows.
  Start("2468",
        "0 rx silence\n1 rx dtmf *24684# 100 50\n3 rx silence\n8 rx tone 800 -12\n"
        "10 rx silence\n",
        "SaveMode=1\nLogEnabled=1\nDefaultMode=2\nSourceIndex0=3\nSourceIndex1=1\n"
        "StopDelay=100\nCWString2=TARVOK\n");
  ASSERT_EQ(Station().State().Mode, rmSimplexRepeater);
  Run(16000);
  EXPECT_TRUE(lines_.contains("DTMF command: identification")) << lines_.join('\n').toStdString();
  ASSERT_EQ(finished_.size(), 1);
  EXPECT_EQ(QDir(QFileInfo(finished_[0]).path()).entryList({"*.wav"}).size(), 1);
  // On the air: the identification and the plain transmission, nothing of the command.
  EXPECT_EQ(SentMorse(), MorseOf("TARVOK"));
  bool repeated = false;
  for (const TToneRun& run : TransmittedRuns()) {
    if (std::abs(run.Frequency - 800.0) < 20.0 && run.Seconds > 1.5)
      repeated = true;
    else
      EXPECT_LT(std::abs(run.Frequency - config_->CWFrequency()), 50.0) << run.Start;
  }
  EXPECT_TRUE(repeated);
  EXPECT_FALSE(PinLogged());
}

TEST_F(DtmfControlTest, ACommandThatEndsItsOwnRecordingLeavesItUnkeptAndTheStationListening) {
  // Force XMIT, then VOX again, each in its own over; a plain transmission follows once both
  // answers (until about 12 s) are sent.
  Start("2468",
        "0 rx silence\n1 rx dtmf *246822# 100 50\n3 rx silence\n5 rx dtmf *246821# 100 50\n"
        "7 rx silence\n15 rx tone 800 -12\n17 rx silence\n",
        "SaveMode=1\nLogEnabled=1\nDefaultMode=2\nSourceIndex0=3\nSourceIndex1=1\n");
  Run(22000);
  EXPECT_TRUE(lines_.contains("DTMF command: state 1")) << lines_.join('|').toStdString();
  EXPECT_EQ(lines_.filter("Recording withheld").size(), 1);
  // Whether the end of the second over is heard depends on how soon its command is decoded.
  ASSERT_FALSE(finished_.isEmpty());
  EXPECT_EQ(QDir(QFileInfo(finished_[0]).path()).entryList({"*.wav"}).size(), finished_.size());
  const TWavSamples tone = ReadWavSamples(finished_.last());
  EXPECT_NEAR(static_cast<double>(tone.Samples.size()) / tone.Format.SamplesPerSec, 2.5, 0.2);
}

TEST_F(DtmfControlTest, ARecordingThatCarriedThePinIsNotKeptWhenItsCommandLeavesSimplex) {
  Start("2468", "0 rx silence\n1 rx dtmf *246811# 100 50\n3 rx silence\n",
        "SaveMode=1\nLogEnabled=1\nDefaultMode=2\nSourceIndex0=3\nSourceIndex1=1\n");
  Run(5000);
  EXPECT_EQ(Station().State().Mode, rmInternetRepeater);
  EXPECT_TRUE(finished_.isEmpty());
  EXPECT_TRUE(QDir(FilePath("temp")).entryList({"*.wav"}).isEmpty());
}

TEST_F(DtmfControlTest, AMainThreadHeldUpDropsNoCommand) {
  Start("2468", "0 rx silence\n1 rx dtmf *246813#\n3 rx silence\n");
  Run(900);
  // The whole entry arrives while nothing runs on the main thread.
  card_->Advance(TScenario::kSampleRate * 2);
  EXPECT_TRUE(RunUntil([this] { return Station().State().Mode == rmBeaconStation; }, 3000));
}

TEST_F(DtmfControlTest, SchedulerAndStateCommandsFollowTheRemoteFilesRulesAndADialogRefusesThem) {
  Start("2468",
        "0 rx silence\n1 rx dtmf *246831#\n3 rx silence\n4 rx dtmf *246822#\n6 rx silence\n"
        "7 rx dtmf *246830#\n9 rx silence\n10 rx dtmf *246822#\n12 rx silence\n"
        "13 rx dtmf *246812#\n15 rx silence\n");
  Run(3500);
  EXPECT_TRUE(Station().State().SchedulerOn);
  Run(6000);
  EXPECT_FALSE(Station().State().SchedulerOn);
  EXPECT_EQ(Station().State().Mode, rmInternetRepeater);
  Run(3000);
  EXPECT_TRUE(Station().Modes().Buttons().IsChecked(TStateButton::RepeaterForceXmit));
  {
    const auto hold = Station().HoldForDialog();
    Run(3000);
  }
  EXPECT_EQ(Station().State().Mode, rmInternetRepeater);
  EXPECT_EQ(lines_, (QStringList{"DTMF command: scheduler on", "DTMF command refused: state 2",
                                 "DTMF command: scheduler off", "DTMF command: state 2",
                                 "DTMF command refused while a dialog is open: mode Simplex "
                                 "Repeater"}));
}

TEST_F(DtmfControlTest, WrongPinsChangeNothingAndTheThirdLocksEntry) {
  Start("2468",
        "0 rx silence\n1 rx dtmf *111113#\n3 rx silence\n4 rx dtmf *111113#\n6 rx silence\n"
        "7 rx dtmf *111113#\n9 rx silence\n10 rx dtmf *246813#\n12 rx silence\n");
  Run(13000);
  EXPECT_EQ(Station().State().Mode, rmInternetRepeater);
  EXPECT_EQ(lines_, QStringList{"DTMF control: three wrong PINs, entry locked for 10 minutes"});
}

TEST_F(DtmfControlTest, DigitsSixSecondsApartStartOver) {
  Start("2468", "0 rx silence\n1 rx dtmf *2468\n2 rx silence\n8 rx dtmf 13#\n9 rx silence\n");
  Run(10000);
  EXPECT_EQ(Station().State().Mode, rmInternetRepeater);
  EXPECT_TRUE(lines_.isEmpty());
}

TEST_F(DtmfControlTest, ABadPinLeavesControlOff) {
  Start("12", "0 rx silence\n1 rx dtmf *1213#\n3 rx silence\n");
  Run(4000);
  EXPECT_EQ(Station().State().Mode, rmInternetRepeater);
  EXPECT_TRUE(lines_.isEmpty());
  EXPECT_FALSE(Station().Capturing()) << "no capture is kept for commands that are off";
}

}  // namespace
}  // namespace tarvok
