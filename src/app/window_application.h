// The application object of the window: it needs a display, which the other uses of the program
// (--headless, --list-audio, --help, --version) never do.
#pragma once

#include <QCoreApplication>
#include <memory>

namespace tarvok {

// The application with widgets, or none when there is no display to show the window on; the
// user has then been told so in one line on standard error.
std::unique_ptr<QCoreApplication> CreateWindowApplication(int& argc, char* argv[]);

}  // namespace tarvok
