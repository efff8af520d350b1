// The station with its window, the program most users run.
#pragma once

#include <QString>

namespace tarvok {

// Runs the window until it is closed (or SIGINT or SIGTERM closes it); returns the exit code.
int RunDesktopStation(const QString& home, const QString& soundSystem);

}  // namespace tarvok
