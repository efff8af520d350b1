// What ALSA offers on this machine, for --list-audio: the PCM names of its configuration
// (snd_device_name_hint) and every card by id and name with its capture and playback devices and
// mixer controls.
#pragma once

#include <QStringList>

namespace tarvok {

QStringList AlsaInventory();

}  // namespace tarvok
