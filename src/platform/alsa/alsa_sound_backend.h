// A sound card opened directly through alsa-lib, for machines without a sound server (a Raspberry
// Pi). Devices are ALSA PCM names ("plughw:CARD=Radio", "pulse"), so a card is found by its id
// whatever number it gets at boot.
//
// One mixer device with the lines of the virtual card's layout: a playback destination "Output"
// whose source "Station Audio" is what the station plays (both metered from the samples written),
// and the destination "Recording Control" with the card's capture "Receiver" and, when a device is
// named for it, the PC audio's capture "PC Audio" (the capture side of a loopback card that a
// linking program plays into). Capture meters are computed from each input's samples. Volumes are
// the card's simple mixer elements where it has them.
//
// While the card's input cannot be read the meters are silent and ServerLost() is true, so that
// the failures that follow (a playback that cannot open) are not reported again.
#pragma once

#include <QString>
#include <array>
#include <memory>

#include "core/audio/sound_backend.h"
#include "platform/alsa/alsa_input.h"
#include "platform/alsa/alsa_mixer.h"

namespace tarvok {

class TAlsaSoundBackend final : public TSoundBackend {
 public:
  // `pcAudio` empty: no PC audio line.
  TAlsaSoundBackend(const QString& card, const QString& pcAudio);
  ~TAlsaSoundBackend() override;

  int DeviceCount() const override { return 1; }
  QString DeviceName(int index) const override;
  TAudioResult OpenMixer(int index) override;
  TAudioResult Destinations(std::vector<TMixerDestination>& destinations) const override;
  TAudioResult Line(std::uint32_t lineId, TMixerLine& line) const override;
  TAudioResult Controls(std::uint32_t lineId, std::vector<TMixerControl>& controls) const override;
  TAudioResult Control(std::uint32_t controlId, TMixerControl& control) const override;
  const TControlCell* AcquireControl(std::uint32_t controlId) override;
  void ReleaseControl(std::uint32_t) override {}
  TAudioResult WriteControl(std::uint32_t controlId, std::uint32_t value) override;
  TAudioResult OpenCapture(const TPcmFormat& format, int blockBytes, TCaptureSink& sink,
                           std::unique_ptr<TAudioStream>& stream) override;
  TAudioResult OpenPlayback(const TPcmFormat& format, int bufferBytes, TPlaybackSource& source,
                            std::unique_ptr<TAudioStream>& stream) override;
  bool ServerLost() const override { return !card_.Running(); }

 private:
  // Lines in mixer order; their IDs are index + 1.
  enum TLineIndex { kOutput, kStationAudio, kRecordingControl, kReceiver, kPcAudio, kLineCount };

  int LineCount() const { return pcAudio_ ? kLineCount : kPcAudio; }
  bool ValidLine(std::uint32_t lineId) const;
  // The line's volume as a mixer element: 0 playback, 1 capture, -1 none.
  int VolumeElementOf(std::uint32_t lineId) const;
  TControlCell* MeterOf(std::uint32_t lineId);
  // Any thread: an input's message goes to the main thread.
  void Report(const QString& message);

  const QString cardName_;
  std::array<TMixerLine, kLineCount> lines_;
  TControlCell outputMeter_;
  TControlCell receiverMeter_;
  TControlCell pcAudioMeter_;
  std::array<TControlCell, 2> volumes_;  // playback, capture
  TAlsaMixer mixer_;
  TAlsaInput card_;
  std::unique_ptr<TAlsaInput> pcAudio_;
};

}  // namespace tarvok
