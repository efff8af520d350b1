#include "core/config/station_folder.h"

namespace tarvok {

QString WithTrailingSlash(const QString& folder) {
  if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
    return folder;
  return folder + QLatin1Char('/');
}

TStationFolder::TStationFolder(const QString& path) : path_(WithTrailingSlash(path)) {}

}  // namespace tarvok
