#include "platform/alsa/alsa_mixer.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/alsa/alsa_fault.h"

namespace tarvok {

QString TAlsaMixer::MixerNameOf(const QString& pcmDevice) {
  static const QRegularExpression hardware(QStringLiteral(R"(^(?:plug)?hw:(?:CARD=)?([^,]+))"));
  const QRegularExpressionMatch m = hardware.match(pcmDevice);
  return m.hasMatch() ? QStringLiteral("hw:CARD=") + m.captured(1) : pcmDevice;
}

TAlsaMixer::TAlsaMixer(const QString& pcmDevice) {
  QuietAlsaErrors();
  const QByteArray name = MixerNameOf(pcmDevice).toLocal8Bit();
  if (snd_mixer_open(&mixer_, 0) < 0) {
    mixer_ = nullptr;
    return;
  }
  if (snd_mixer_attach(mixer_, name.constData()) < 0 ||
      snd_mixer_selem_register(mixer_, nullptr, nullptr) < 0 || snd_mixer_load(mixer_) < 0) {
    snd_mixer_close(mixer_);
    mixer_ = nullptr;
    return;
  }
  playback_ = Find({"Master", "PCM", "Speaker", "Headphone"}, false);
  capture_ = Find({"Capture", "Mic", "Line"}, true);
}

TAlsaMixer::~TAlsaMixer() {
  if (mixer_ != nullptr)
    snd_mixer_close(mixer_);
}

snd_mixer_elem_t* TAlsaMixer::Find(std::initializer_list<const char*> names, bool capture) const {
  for (const char* name : names) {
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer_); e != nullptr;
         e = snd_mixer_elem_next(e)) {
      if (std::strcmp(snd_mixer_selem_get_name(e), name) != 0)
        continue;
      if (capture ? snd_mixer_selem_has_capture_volume(e) : snd_mixer_selem_has_playback_volume(e))
        return e;
    }
  }
  return nullptr;
}

std::uint32_t TAlsaMixer::Volume(bool capture) const {
  snd_mixer_elem_t* e = capture ? capture_ : playback_;
  if (e == nullptr)
    return 0;
  snd_mixer_handle_events(mixer_);
  long minimum = 0;
  long maximum = 0;
  long value = 0;
  if (capture) {
    snd_mixer_selem_get_capture_volume_range(e, &minimum, &maximum);
    snd_mixer_selem_get_capture_volume(e, SND_MIXER_SCHN_FRONT_LEFT, &value);
  } else {
    snd_mixer_selem_get_playback_volume_range(e, &minimum, &maximum);
    snd_mixer_selem_get_playback_volume(e, SND_MIXER_SCHN_FRONT_LEFT, &value);
  }
  if (maximum <= minimum)
    return 0;
  return static_cast<std::uint32_t>(std::lround(static_cast<double>(value - minimum) * kMaximum /
                                                static_cast<double>(maximum - minimum)));
}

bool TAlsaMixer::SetVolume(bool capture, std::uint32_t value) {
  snd_mixer_elem_t* e = capture ? capture_ : playback_;
  if (e == nullptr)
    return false;
  long minimum = 0;
  long maximum = 0;
  if (capture)
    snd_mixer_selem_get_capture_volume_range(e, &minimum, &maximum);
  else
    snd_mixer_selem_get_playback_volume_range(e, &minimum, &maximum);
  const long level = minimum + std::lround(static_cast<double>(std::min(value, kMaximum)) *
                                           static_cast<double>(maximum - minimum) / kMaximum);
  return (capture ? snd_mixer_selem_set_capture_volume_all(e, level)
                  : snd_mixer_selem_set_playback_volume_all(e, level)) == 0;
}

}  // namespace tarvok
