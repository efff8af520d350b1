#include "core/config/debug_log.h"

#include <fcntl.h>
#include <unistd.h>

#include "core/common/clock.h"

namespace tarvok {

TDebugLog::TDebugLog(QString fileName, const TClock& clock)
    : fileName_(std::move(fileName)), clock_(clock) {}

TDebugLog::~TDebugLog() { Close(); }

void TDebugLog::Open() {
  std::lock_guard lock(mutex_);
  if (fd_ >= 0)
    return;
  fd_ =
      ::open(fileName_.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

void TDebugLog::Close() {
  std::lock_guard lock(mutex_);
  if (fd_ < 0)
    return;
  ::close(fd_);
  fd_ = -1;
}

bool TDebugLog::IsOpen() const {
  std::lock_guard lock(mutex_);
  return fd_ >= 0;
}

void TDebugLog::Write(const QString& message) {
  std::lock_guard lock(mutex_);
  if (fd_ < 0)
    return;
  const QString stamp = clock_.Now().toString(QStringLiteral("MM/dd/yyyy HH:mm:ss"));
  const QByteArray line = (stamp + QStringLiteral(": ") + message).toLocal8Bit() + '\n';
  // One write call per line keeps lines from different threads whole.
  [[maybe_unused]] const ssize_t written = ::write(fd_, line.constData(), line.size());
  ::fdatasync(fd_);
}

}  // namespace tarvok
