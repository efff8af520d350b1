// A station in a temporary folder on a fake sound card and a fake recorder, with a clock that the
// test sets. Queued work runs when the test settles the event loop; timers are driven by hand.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <memory>

#include "core/audio/level_poller.h"
#include "core/audio/sound_card.h"
#include "core/station/station.h"
#include "core/station/transmitter.h"
#include "support/application.h"
#include "support/config_fixture.h"
#include "support/fake_recorder.h"
#include "support/fake_sound_backend.h"

namespace tarvok {

class StationTest : public ConfigTest {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }

  StationTest() {
    clock_.Set(QDateTime(QDate(2026, 12, 5), QTime(10, 15, 7)));
    Config().SetComPort(1);
    auto backend = std::make_unique<TFakeSoundBackend>();
    backend_ = backend.get();
    soundCard_ = std::make_unique<TSoundCard>(std::move(backend));
    poller_ = std::make_unique<TLevelPoller>(*soundCard_);
    recorder_ = std::make_unique<TFakeRecorder>(Config());
    transmitter_ = std::make_unique<TTransmitter>(Config(), clock_, port_, messages_);
    station_ = std::make_unique<TStation>(Config(), clock_, *transmitter_, *recorder_, *soundCard_,
                                          *poller_);
  }
  ~StationTest() override { Stop(); }

  void Start() {
    station_->Start();
    station_->ClockTasks().StopTimer();
    Settle();
  }
  void Stop() {
    station_.reset();
    transmitter_.reset();
    config_.reset();
  }
  // Runs the queued work, and the work that it queues in turn.
  static void Settle() {
    for (int i = 0; i < 10; ++i)
      QCoreApplication::processEvents();
  }

  void Request(TSender sender, int request, int beaconIndex = 0) {
    station_->Engine().SetState(sender, request, beaconIndex);
    Settle();
  }
  void Click(TStateButton button) {
    station_->Modes().ClickStateButton(button);
    Settle();
  }
  void Menu(TRepeaterMode item) {
    station_->Modes().ChangeMode(item);
    Settle();
  }
  void EndPlayback() {
    recorder_->EndPlayback();
    Settle();
  }
  void Tick() {
    station_->ClockTasks().ClockTick();
    Settle();
  }
  void At(int hour, int minute, int second) {
    clock_.Set(QDateTime(QDate(2026, 12, 5), QTime(hour, minute, second)));
  }
  // Brings a Simplex Repeater station to listening with VOX enabled.
  void StartSimplexWithVox() {
    Config().SetState(csVox);
    Start();
    Menu(rmSimplexRepeater);
    ASSERT_EQ(ModeState(), msListen);
    TakeLog();
  }
  // A VOX transmission: recorded, then played back.
  void Transmission() {
    Request(TSender::Trace, msSignal);
    Request(TSender::Trace, msNoSignal);
  }

  QString MakeWav(const QString& name) {
    const QString path = dir_.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100, '\0'));
    return path;
  }
  int ModeState() const { return station_->State().ModeState; }
  TRepeaterMode Mode() const { return station_->State().Mode; }
  bool Keyed() const { return transmitter_->Keyed(); }
  bool Checked(TStateButton button) const { return station_->Modes().Buttons().IsChecked(button); }
  QStringList TakeLog() {
    QStringList log = recorder_->Log;
    recorder_->Log.clear();
    return log;
  }

  TFakeSoundBackend* backend_ = nullptr;
  std::unique_ptr<TSoundCard> soundCard_;
  std::unique_ptr<TLevelPoller> poller_;
  std::unique_ptr<TFakeRecorder> recorder_;
  std::unique_ptr<TTransmitter> transmitter_;
  std::unique_ptr<TStation> station_;
};

}  // namespace tarvok
