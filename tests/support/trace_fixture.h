// Two trace sources on a fake sound card with a level poller that the test drives by hand, and a
// configuration in a temporary station folder.
//
// Lines: 0 "Speakers" (out, volume only), 1 "Wave Out" (out, meter and volume), 2 "CD Player"
// (out, volume only), 3 "Recording Control" (rec, no controls), 4 "Microphone" (rec, meter and
// volume), 5 "Line In" (rec, a meter up to 65535).
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "core/audio/level_poller.h"
#include "core/audio/sound_card.h"
#include "core/station/trace_source.h"
#include "support/application.h"
#include "support/config_fixture.h"
#include "support/fake_sound_backend.h"

namespace tarvok {

class TraceFixture : public ConfigTest {
 protected:
  TraceFixture() {
    backend_->AddLine(1, kDestinationSpeakers, "Speakers", false, {Volume(10)});
    backend_->AddLine(2, kSourceWaveOut, "Wave Out", true, {PeakMeter(20), Volume(21)});
    backend_->AddLine(3, 4101, "CD Player", true, {Volume(31)});
    backend_->AddLine(4, kDestinationWaveIn, "Recording Control", false);
    backend_->AddLine(5, kSourceMicrophone, "Microphone", true, {PeakMeter(50), Volume(51)});
    backend_->AddLine(6, kSourceLineLevel, "Line In", true,
                      {{60, kControlPeakMeter, "Peak", 0, 65535}});
  }

  // Builds the card, the poller and both traces, connected as the station connects them.
  void Start(int mode = rmInternetRepeater) {
    card_ = std::make_unique<TSoundCard>(std::move(pendingBackend_));
    poller_ = std::make_unique<TLevelPoller>(*card_);
    for (int trace = 0; trace < kTraceCount; ++trace) {
      traces_[trace] = std::make_unique<TTraceSource>(trace, Config(), clock_);
      traces_[trace]->SetNoiseLevel(Config().NoiseLevel());
      traces_[trace]->SetThreshold(Config().ThresholdLevel());
      traces_[trace]->Initialize(card_.get(), poller_.get());
    }
    for (auto& trace : traces_)
      trace->SetMode(mode);
  }

  TTraceSource& Upper() { return *traces_[0]; }
  TTraceSource& Lower() { return *traces_[1]; }
  TMixerControlObject& PeakObjectOf(TTraceSource& trace) {
    // Each trace adds its volume object, then its peak object.
    return card_->MixerControls().Items(trace.TraceIndex() * 2 + 1);
  }

  // Settles a signal flag in the wanted state at once.
  static void SetPresent(TTraceFlag& flag, bool on) {
    flag.SetOnDelay(0);
    flag.SetOffDelay(0);
    flag.Update(on ? flag.Threshold() : flag.Threshold() + 1);
    flag.Update(on ? flag.Threshold() + 1 : flag.Threshold());
  }

  std::unique_ptr<TSoundBackend> pendingBackend_ = std::make_unique<TFakeSoundBackend>();
  // Owned by the card once it exists.
  TFakeSoundBackend* backend_ = static_cast<TFakeSoundBackend*>(pendingBackend_.get());
  std::unique_ptr<TSoundCard> card_;
  std::unique_ptr<TLevelPoller> poller_;
  std::array<std::unique_ptr<TTraceSource>, kTraceCount> traces_;
};

}  // namespace tarvok
