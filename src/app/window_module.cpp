#include "app/window_module.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <cstdio>
#include <cstring>

namespace tarvok {

namespace {

constexpr const char* kModuleName = "tarvok-window.so";

QString ModulePath() {
  const QDir programDir = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
  const QString besideProgram = programDir.filePath(QLatin1String(kModuleName));
  if (QFileInfo::exists(besideProgram))
    return besideProgram;
  return QDir::cleanPath(programDir.filePath(QStringLiteral(TARVOK_WINDOW_MODULE_DIR "/") +
                                             QLatin1String(kModuleName)));
}

}  // namespace

bool RunsWithoutWindow(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    for (const char* option : {"--headless", "--list-audio", "--web-user", "--help", "--help-all",
                               "-h", "-?", "--version", "-v"}) {
      if (std::strcmp(argv[i], option) == 0)
        return true;
    }
  }
  return false;
}

bool TWindowModule::Open() {
  // Never unloaded: the application it creates lives until the program ends.
  QLibrary module(ModulePath());
  createApplication_ =
      reinterpret_cast<TCreateWindowApplication>(module.resolve(kCreateWindowApplication));
  runStation_ = reinterpret_cast<TRunDesktopStation>(module.resolve(kRunDesktopStation));
  if (createApplication_ && runStation_)
    return true;
  std::fprintf(stderr,
               "tarvok: the window could not be opened (%s); run \"tarvok --headless\" to run the "
               "station without a window\n",
               module.errorString().toLocal8Bit().constData());
  return false;
}

std::unique_ptr<QCoreApplication> TWindowModule::CreateApplication(int& argc, char* argv[]) const {
  return std::unique_ptr<QCoreApplication>(createApplication_(&argc, argv));
}

int TWindowModule::RunStation(const QString& home, const QString& soundSystem) const {
  return runStation_(&home, &soundSystem);
}

}  // namespace tarvok
