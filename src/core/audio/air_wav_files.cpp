#include "core/audio/air_wav_files.h"

#include <QDir>

namespace tarvok {

QStringList AirWavFiles(const QString& folder) {
  QStringList names =
      QDir(folder).entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
  names.removeIf([](const QString& name) {
    return name.compare(QLatin1String(kTransmitterWavName), Qt::CaseInsensitive) == 0;
  });
  return names;
}

}  // namespace tarvok
