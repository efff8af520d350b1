#include "app/console_messages.h"

#include <cstdio>

namespace tarvok {

void TConsoleMessages::ShowError(const QString& message) {
  std::fprintf(stderr, "tarvok: %s\n", message.toLocal8Bit().constData());
  std::fflush(stderr);
}

}  // namespace tarvok
