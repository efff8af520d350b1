// CPU time of this process's threads, read from /proc, for the audio benchmarks.
#pragma once

#include <unistd.h>
#include <QDir>
#include <QFile>

namespace tarvok {

// CPU seconds (user + system) of a process, or of this process's threads whose name starts with
// `thread` when it is given.
inline double CpuSeconds(qint64 pid, const QByteArray& thread = {}) {
  const auto ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  const auto fields = [](const QString& statPath) {
    QFile stat(statPath);
    if (!stat.open(QIODevice::ReadOnly))
      return 0.0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> f = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return f.size() > 12 ? f[11].toDouble() + f[12].toDouble() : 0.0;
  };
  if (thread.isEmpty())
    return fields(QStringLiteral("/proc/%1/stat").arg(pid)) / ticks;
  double total = 0.0;
  const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
  for (const QString& tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile comm(tasks + "/" + tid + "/comm");
    if (comm.open(QIODevice::ReadOnly) && comm.readAll().startsWith(thread))
      total += fields(tasks + "/" + tid + "/stat");
  }
  return total / ticks;
}

// CPU seconds of several processes together, as of a sound server made of several.
inline double CpuSeconds(const QList<qint64>& pids) {
  double total = 0.0;
  for (const qint64 pid : pids)
    total += CpuSeconds(pid);
  return total;
}

}  // namespace tarvok
