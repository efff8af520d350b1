// A whole station in a temporary folder, put together as the headless service does it: a settings
// file, the configuration, the transmitter keying through the tap (ComDevice=virtual keys no
// device, only the tap), and the station runtime on a sound back end, driven through its door. The
// virtual-card variant steps the card, the level poller, the VOX tick, the clock and the clock
// tasks together in 10 ms steps of card time, so that every delay is counted exactly and no test
// waits for real time.
#pragma once

#include <gtest/gtest.h>

#include <QMap>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "core/common/clock.h"
#include "core/config/config.h"
#include "core/station/station_runtime.h"
#include "core/station/transmitter.h"
#include "platform/keying_tap.h"
#include "platform/virtual/transmitter_recorder.h"
#include "platform/virtual/virtual_sound_backend.h"
#include "support/config_fixture.h"

namespace tarvok {

// A stretch of audio whose 10 ms windows all peak above -24 dBFS.
struct TToneRun {
  double Start = 0.0;  // seconds from the start of the samples
  double Seconds = 0.0;
  double Frequency = 0.0;  // from the zero crossings
};

std::vector<TToneRun> FindToneRuns(const std::vector<std::int16_t>& samples, int sampleRate);

// One line of transmitter.log.
struct TKeyingChange {
  double At = 0.0;  // card time, seconds
  bool Keyed = false;
  double WavAt = 0.0;  // place in transmitter.wav, seconds
};

class WholeStationTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  WholeStationTest();
  ~WholeStationTest() override;

  QString FilePath(const QString& name) const { return dir_.filePath(name); }
  // The settings file as the station finds it at start; the remote folder exists.
  void WriteSettings(const QByteArray& text);
  // Creates the configuration from the settings file and starts the runtime on the back end.
  void StartStation(std::unique_ptr<TSoundBackend> backend);

  TStationRuntime& Station() { return *runtime_; }
  int ModeState() { return Station().State().ModeState; }
  bool Keyed() { return Station().TransmitterKeyed(); }
  // The key/value lines of remote/tarvok.rmt.
  QMap<QString, QString> RemoteStatus() const;

  QTemporaryDir dir_;
  TManualClock clock_;
  TRecordingMessages messages_;
  int promptsShown_ = 0;  // peak-meter help and trace warnings, each answered at once
  TFakeKeyingPort serialPort_;
  std::vector<bool> keyings_;                   // every change of the keying, in order
  std::function<void(bool keyed)> keyingSink_;  // told of every keying report too
  TKeyingTap tap_;
  std::unique_ptr<TConfig> config_;
  std::unique_ptr<TTransmitter> keying_;
  std::unique_ptr<TStationRuntime> runtime_;
};

class VirtualStationTest : public WholeStationTest {
 protected:
  static constexpr int kStepMs = 10;

  // The virtual card with the scenario text, its transmitter files in the station folder.
  void StartVirtual(const QString& scenario);
  // Runs the station for `ms` milliseconds of card time.
  void Run(int ms);
  // Runs until the condition holds, for at most `maxMs`; whether it holds.
  bool RunUntil(const std::function<bool()>& condition, int maxMs);
  double CardSeconds() const {
    return static_cast<double>(card_->Position()) / TScenario::kSampleRate;
  }

  std::vector<TKeyingChange> KeyingLog() const;
  std::vector<TToneRun> TransmittedRuns() const;

  std::shared_ptr<TTransmitterRecorder> transmitter_;
  TVirtualSoundBackend* card_ = nullptr;

 private:
  void Step();
  qint64 lastSecond_ = 0;
};

}  // namespace tarvok
