#include "platform/station_home.h"

#include <QDir>
#include <QFileInfo>

namespace tarvok {

QString DefaultStationHome() {
  QString base = qEnvironmentVariable("XDG_DATA_HOME");
  if (base.isEmpty() || QFileInfo(base).isRelative()) {
    base = QDir::homePath() + QStringLiteral("/.local/share");
  }
  return base + QStringLiteral("/tarvok/");
}

}  // namespace tarvok
