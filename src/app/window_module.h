// The program's side of the window's module: whether this run needs a window at all, and the
// module opened when it does.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <memory>

#include "app/window_entry.h"

namespace tarvok {

// Whether the command line asks for something that runs without a window.
bool RunsWithoutWindow(int argc, char* argv[]);

class TWindowModule {
 public:
  // Opens the module beside the program (a build tree) or where it is installed; when it cannot,
  // says why in one line on standard error.
  bool Open();
  // The application with widgets, or none when there is no display (the user has been told).
  std::unique_ptr<QCoreApplication> CreateApplication(int& argc, char* argv[]) const;
  int RunStation(const QString& home, const QString& soundSystem) const;

 private:
  TCreateWindowApplication createApplication_ = nullptr;
  TRunDesktopStation runStation_ = nullptr;
};

}  // namespace tarvok
