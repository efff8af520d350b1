#include "app/window_entry.h"

#include "app/desktop_station.h"
#include "app/window_application.h"

#include <type_traits>

extern "C" {

Q_DECL_EXPORT QCoreApplication* TarvokCreateWindowApplication(int* argc, char** argv) {
  return tarvok::CreateWindowApplication(*argc, argv).release();
}

Q_DECL_EXPORT int TarvokRunDesktopStation(const QString* home, const QString* soundSystem) {
  return tarvok::RunDesktopStation(*home, *soundSystem);
}
}

// The program calls them through these types.
static_assert(
    std::is_same_v<decltype(&TarvokCreateWindowApplication), tarvok::TCreateWindowApplication>);
static_assert(std::is_same_v<decltype(&TarvokRunDesktopStation), tarvok::TRunDesktopStation>);
