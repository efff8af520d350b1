// What the fuzz targets share: a folder of the process's own for the files they read and write,
// and a check that ends the run with the property that did not hold.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tarvok::fuzz {

// In memory where the machine offers it: every settings write syncs its file to the disk.
inline QString ScratchPath(const QString& name) {
  static const QTemporaryDir folder((QFileInfo(QStringLiteral("/dev/shm")).isDir()
                                         ? QStringLiteral("/dev/shm")
                                         : QDir::tempPath()) +
                                    QStringLiteral("/tarvok-fuzz-XXXXXX"));
  return QDir(folder.path()).filePath(name);
}

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Writes content to a file of the scratch folder, replacing it, and returns its path.
inline QString WriteScratchFile(const QString& name, const QByteArray& content) {
  const QString path = ScratchPath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(content) != content.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    std::abort();
  }
  return path;
}

inline QByteArray ReadScratchFile(const QString& name) {
  QFile file(ScratchPath(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void Check(bool holds, const char* property) {
  if (holds)
    return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

}  // namespace tarvok::fuzz
