// Chooses the station's sound system by name: "pulse" (a PulseAudio or PipeWire server),
// "virtual" or "virtual:SCENARIO" (the virtual sound card, silent or driven by a scenario file),
// or, with no name, pulse when a server answers and the virtual card otherwise. The virtual card
// writes what it sends to the transmitter into the station folder, when one is given.
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
};

TSoundSystem CreateSoundSystem(const QString& name, const QString& stationFolder = {});

}  // namespace tarvok
