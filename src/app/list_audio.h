// `tarvok --list-audio`: what the station would see of a sound system.
#pragma once

#include <QString>

namespace tarvok {

// Prints every mixer device's lines and controls of the sound system chosen by name; returns the
// exit code.
int ListAudio(const QString& name);

}  // namespace tarvok
