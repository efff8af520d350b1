// Chooses the station's sound system by name: "pulse" (a PulseAudio or PipeWire server), "alsa"
// or "alsa:DEVICE" (a card through ALSA, the device "default" or the PCM name given), "virtual" or
// "virtual:SCENARIO" (the virtual sound card, silent or driven by a scenario file). With no name:
// pulse when a server answers, else ALSA when exactly one card has capture and playback, else the
// virtual card; the description says why. The virtual card writes what it sends to the transmitter
// into the station folder, when one is given. On ALSA, `pcAudioDevice` names the capture device of
// the PC audio line, when there is one.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "core/audio/sound_backend.h"

namespace tarvok {

struct TSoundSystem {
  std::unique_ptr<TSoundBackend> Backend;  // null when the name is not valid
  QString Description;                     // which system was chosen, for the user
  QStringList Errors;                      // failures to tell the user; the system runs anyway
  bool Connected = true;                   // false while the sound server is not reachable
  // Logs the keying next to the virtual card's transmitter audio; empty for other systems.
  std::function<void(bool keyed)> TransmitterKeyed;
  // What the sound system offers besides the station's lines, for --list-audio.
  QStringList Inventory;
};

TSoundSystem CreateSoundSystem(const QString& name, const QString& stationFolder = {},
                               const QString& pcAudioDevice = {});

}  // namespace tarvok
