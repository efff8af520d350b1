// The station's door on a fake sound card with a speaker and a line-in line, for the window's
// views on the offscreen platform. The clock is the test's; timers are held and ticked by hand.
#pragma once

#include <QCoreApplication>
#include <memory>

#include "core/station/station_runtime.h"
#include "core/station/transmitter.h"
#include "support/config_fixture.h"
#include "support/fake_sound_backend.h"
#include "support/gui_application.h"

namespace tarvok {

class WindowTest : public ConfigTest {
 protected:
  static void SetUpTestSuite() { EnsureGuiApplication(); }

  WindowTest() {
    backend_->AddLine(1, kDestinationSpeakers, "Speakers", false, {Volume(10)});
    backend_->AddLine(2, kSourceWaveOut, "Wave Out", true, {PeakMeter(20), Volume(21)});
    backend_->AddLine(3, kDestinationWaveIn, "Recording Control", false);
    backend_->AddLine(4, kSourceLineLevel, "Line In", true, {PeakMeter(40), Volume(41)});
  }
  ~WindowTest() override {
    if (station_)
      station_->Close();
  }

  // The door over the settings as they stand, started, with its timers held.
  TStationRuntime& Station() {
    if (!station_) {
      CreateStation();
      StartStation();
    }
    return *station_;
  }
  // The door before its start, for views that must listen from the first event on.
  TStationRuntime& CreateStation() {
    transmitter_ = std::make_unique<TTransmitter>(Config(), clock_, port_, messages_);
    station_ = std::make_unique<TStationRuntime>(Config(), clock_, std::move(pendingBackend_),
                                                 *transmitter_, messages_);
    return *station_;
  }
  void StartStation() {
    station_->Start();
    station_->HoldTimers();
    Settle();
  }
  static void Settle() {
    for (int i = 0; i < 10; ++i)
      QCoreApplication::processEvents();
  }

  std::unique_ptr<TSoundBackend> pendingBackend_ = std::make_unique<TFakeSoundBackend>();
  TFakeSoundBackend* backend_ = static_cast<TFakeSoundBackend*>(pendingBackend_.get());
  std::unique_ptr<TTransmitter> transmitter_;
  std::unique_ptr<TStationRuntime> station_;
};

}  // namespace tarvok
