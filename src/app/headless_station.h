// The station as a service: no window, stopped by SIGINT or SIGTERM.
#pragma once

#include <QString>

namespace tarvok {

// Runs the event loop until a stop signal; returns the process exit code.
int RunHeadlessStation(const QString& home);

}  // namespace tarvok
