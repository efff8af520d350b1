// The station engine with the real record thread on the virtual sound card: a Simplex Repeater
// cycle goes from listening to recording, is repeated keyed on the transmitter and ends with the
// CW identification and listening again.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QtEndian>
#include <algorithm>

#include "core/audio/application.h"
#include "core/audio/record_thread.h"
#include "core/audio/sound_card.h"
#include "core/audio/sound_thread.h"
#include "core/audio/wav_reader.h"
#include "core/config/config_fixture.h"
#include "core/station/station.h"
#include "platform/virtual/transmitter_recorder.h"
#include "platform/virtual/virtual_sound_backend.h"

namespace tarvok {
namespace {

int LoudSamples(const QString& wav) {
  const TWavLayout layout = ReadWavLayout(wav);
  QFile file(wav);
  if (!layout.IsValid() || !file.open(QIODevice::ReadOnly) || !file.seek(layout.DataOffset))
    return -1;
  const QByteArray data = file.read(layout.DataBytes);
  int loud = 0;
  for (qsizetype i = 0; i + 1 < data.size(); i += 2)
    loud += std::abs(qFromLittleEndian<std::int16_t>(data.constData() + i)) > 1000;
  return loud;
}

class StationRecordTest : public ConfigTest {
 protected:
  StationRecordTest() {
    EnsureApplication();
    TScenario scenario;
    QString error;
    EXPECT_TRUE(TScenario::Parse("0 rx silence\n0.5 rx tone 1000 -10\n1.5 rx silence\n", {},
                                 scenario, error));
    transmitter_ = std::make_shared<TTransmitterRecorder>(dir_.path(), TScenario::kSampleRate);
    auto backend = std::make_unique<TVirtualSoundBackend>(std::move(scenario), transmitter_);
    backend_ = backend.get();
    Config().SetState(0);
    Config().SetComPort(1);
    soundCard_ = std::make_unique<TSoundCard>(std::move(backend));
    soundThread_ = std::make_unique<TSoundThread>(*soundCard_);
    thread_ = std::make_unique<TRecordThread>(*backend_, messages_, Config(), clock_);
    thread_->Recorder().SetRecordingFormat(1, 1, 8000, 16, 4096);
    thread_->Recorder().SetElementLength(Config().CWElementTime());
    station_ = std::make_unique<TStation>(Config(), clock_, *thread_, *soundCard_, *soundThread_);
  }
  ~StationRecordTest() override {
    station_->Close();
    station_.reset();
    thread_.reset();
  }

  // Runs the card for `samples` samples at 8000 a second, with the queued work in between.
  void Run(int samples) {
    for (int done = 0; done < samples; done += 80) {
      backend_->Advance(80);
      RunQueuedCalls();
    }
  }
  int ModeState() const { return station_->State().ModeState; }

  std::shared_ptr<TTransmitterRecorder> transmitter_;
  TVirtualSoundBackend* backend_ = nullptr;
  std::unique_ptr<TSoundCard> soundCard_;
  std::unique_ptr<TSoundThread> soundThread_;
  std::unique_ptr<TRecordThread> thread_;
  std::unique_ptr<TStation> station_;
};

TEST_F(StationRecordTest, ASimplexCycleIsRecordedRepeatedIdentifiedAndListensAgain) {
  Config().SetCWString(2, "E");
  station_->Start();
  station_->ClockTasks().StopTimer();
  station_->Modes().ChangeMode(rmSimplexRepeater);
  Run(800);
  ASSERT_EQ(ModeState(), msListen);
  EXPECT_FALSE(Config().PinValue());

  Run(3200);
  station_->Engine().SetState(TSender::Trace, msSignal);
  EXPECT_EQ(ModeState(), msSignal);
  EXPECT_FALSE(Config().PinValue());
  Run(10000);
  const QString recording = thread_->Recorder().LastRecording();
  station_->Engine().RepeaterTimerTimer();  // the identification falls due during the playback
  station_->Engine().SetState(TSender::Trace, msNoSignal);
  EXPECT_EQ(ModeState(), msNoSignal);
  EXPECT_TRUE(Config().PinValue());

  Run(12000);
  EXPECT_EQ(ModeState(), msCWTone);
  EXPECT_TRUE(Config().PinValue());
  EXPECT_FALSE(QFileInfo::exists(recording)) << "a repeated recording is not kept";

  Run(8000);
  EXPECT_EQ(ModeState(), msListen);
  EXPECT_FALSE(Config().PinValue());
  EXPECT_EQ(station_->Indicator().Caption, "LISTENING");
  // Most of the second of tone that was recorded went out on the transmitter.
  EXPECT_GT(LoudSamples(transmitter_->WavPath()), 6000);
  EXPECT_TRUE(messages_.Shown.empty());
}

}  // namespace
}  // namespace tarvok
