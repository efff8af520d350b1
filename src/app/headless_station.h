// The station as a service: no window, stopped by SIGINT or SIGTERM.
#pragma once

#include <QString>

namespace tarvok {

// Runs the event loop until a stop signal; returns the process exit code. The sound system is
// chosen by name as CreateSoundSystem does.
int RunHeadlessStation(const QString& home, const QString& soundSystem);

}  // namespace tarvok
