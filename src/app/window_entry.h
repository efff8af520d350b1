// The window's code is a module of its own, opened only when a window is shown, so that a station
// run as a service never maps the GUI libraries. These are the two functions the program finds in
// it, in the order it calls them.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace tarvok {

// The application with widgets, or null when there is no display (the user has been told).
inline constexpr char kCreateWindowApplication[] = "TarvokCreateWindowApplication";
using TCreateWindowApplication = QCoreApplication* (*)(int* argc, char** argv);

// Runs the station with its window until it closes; returns the exit code.
inline constexpr char kRunDesktopStation[] = "TarvokRunDesktopStation";
using TRunDesktopStation = int (*)(const QString* home, const QString* soundSystem);

}  // namespace tarvok
