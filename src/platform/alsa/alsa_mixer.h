// The volumes of an ALSA card through its simple mixer elements: the first playback element of
// "Master", "PCM", "Speaker", "Headphone" and the first capture element of "Capture", "Mic",
// "Line" (the PulseAudio plugin's mixer has "Master" and "Capture"). A card without them has no
// volume controls. Values are 0 to 65535 over the element's range. Main thread.
#pragma once

#include <alsa/asoundlib.h>

#include <QString>
#include <cstdint>

namespace tarvok {

class TAlsaMixer {
 public:
  static constexpr std::uint32_t kMaximum = 65535;

  // The mixer of the card behind a PCM name: "hw:CARD=X" for "plughw:CARD=X,DEV=0", else the
  // name itself ("pulse", "default").
  static QString MixerNameOf(const QString& pcmDevice);

  explicit TAlsaMixer(const QString& pcmDevice);
  ~TAlsaMixer();
  TAlsaMixer(const TAlsaMixer&) = delete;
  TAlsaMixer& operator=(const TAlsaMixer&) = delete;

  bool HasPlayback() const { return playback_ != nullptr; }
  bool HasCapture() const { return capture_ != nullptr; }
  std::uint32_t Volume(bool capture) const;
  // False when the card refused it.
  bool SetVolume(bool capture, std::uint32_t value);

 private:
  snd_mixer_elem_t* Find(std::initializer_list<const char*> names, bool capture) const;

  snd_mixer_t* mixer_ = nullptr;
  snd_mixer_elem_t* playback_ = nullptr;
  snd_mixer_elem_t* capture_ = nullptr;
};

}  // namespace tarvok
