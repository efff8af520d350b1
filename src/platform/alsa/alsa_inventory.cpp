#include "platform/alsa/alsa_inventory.h"

#include <alsa/asoundlib.h>

#include "platform/alsa/alsa_card_list.h"
#include "platform/alsa/alsa_fault.h"

namespace tarvok {

namespace {

QString HintValue(const void* hint, const char* id) {
  char* value = snd_device_name_get_hint(hint, id);
  const QString text = value != nullptr ? QString::fromLocal8Bit(value) : QString();
  free(value);
  return text;
}

void AddPcmNames(QStringList& lines) {
  lines << QStringLiteral("ALSA PCM devices:");
  void** hints = nullptr;
  if (snd_device_name_hint(-1, "pcm", &hints) < 0)
    return;
  for (void** hint = hints; *hint != nullptr; ++hint) {
    const QString name = HintValue(*hint, "NAME");
    const QString io = HintValue(*hint, "IOID");  // empty: both directions
    const QString description =
        HintValue(*hint, "DESC").replace(QLatin1Char('\n'), QLatin1String(", "));
    lines << QStringLiteral("  %1%2  %3")
                 .arg(name, io.isEmpty() ? QString() : QStringLiteral(" (%1 only)").arg(io),
                      description);
  }
  snd_device_name_free_hint(hints);
}

void AddDevices(QStringList& lines, snd_ctl_t* ctl, const QString& cardId) {
  snd_pcm_info_t* info = nullptr;
  snd_pcm_info_alloca(&info);
  int device = -1;
  while (snd_ctl_pcm_next_device(ctl, &device) == 0 && device >= 0) {
    for (const snd_pcm_stream_t stream : {SND_PCM_STREAM_CAPTURE, SND_PCM_STREAM_PLAYBACK}) {
      snd_pcm_info_set_device(info, static_cast<unsigned int>(device));
      snd_pcm_info_set_subdevice(info, 0);
      snd_pcm_info_set_stream(info, stream);
      if (snd_ctl_pcm_info(ctl, info) < 0)
        continue;
      lines << QStringLiteral("    %1: plughw:CARD=%2,DEV=%3  %4")
                   .arg(stream == SND_PCM_STREAM_CAPTURE ? QLatin1String("capture ")
                                                         : QLatin1String("playback"),
                        cardId)
                   .arg(device)
                   .arg(QString::fromLocal8Bit(snd_pcm_info_get_name(info)));
    }
  }
}

void AddMixerControls(QStringList& lines, const QByteArray& ctlName) {
  snd_mixer_t* mixer = nullptr;
  if (snd_mixer_open(&mixer, 0) < 0)
    return;
  QStringList names;
  if (snd_mixer_attach(mixer, ctlName.constData()) == 0 &&
      snd_mixer_selem_register(mixer, nullptr, nullptr) == 0 && snd_mixer_load(mixer) == 0) {
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e != nullptr;
         e = snd_mixer_elem_next(e))
      names << QString::fromLocal8Bit(snd_mixer_selem_get_name(e));
  }
  snd_mixer_close(mixer);
  lines << QStringLiteral("    mixer: %1")
               .arg(names.isEmpty() ? QStringLiteral("no controls")
                                    : names.join(QLatin1String(", ")));
}

void AddCards(QStringList& lines) {
  const std::vector<TAlsaCard> cards = ReadAlsaCards();
  if (cards.empty()) {
    lines << QStringLiteral("Sound cards: no sound cards");
    return;
  }
  lines << QStringLiteral("Sound cards:");
  for (const TAlsaCard& card : cards) {
    lines << QStringLiteral("  ") + DescribeAlsaCard(card);
    const QByteArray ctlName = QStringLiteral("hw:CARD=%1").arg(card.Id).toLocal8Bit();
    snd_ctl_t* ctl = nullptr;
    if (snd_ctl_open(&ctl, ctlName.constData(), 0) < 0)
      continue;
    AddDevices(lines, ctl, card.Id);
    snd_ctl_close(ctl);
    AddMixerControls(lines, ctlName);
  }
}

}  // namespace

QStringList AlsaInventory() {
  QuietAlsaErrors();
  QStringList lines;
  AddPcmNames(lines);
  AddCards(lines);
  return lines;
}

}  // namespace tarvok
