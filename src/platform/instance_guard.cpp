#include "platform/instance_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include "core/config/station_folder.h"

namespace tarvok {

namespace {

constexpr char kRaise = 'R';

// An abstract socket address: no file to clean up, gone with the process. The name hashes the
// folder's canonical path, so two spellings of one folder meet and other folders do not.
sockaddr_un SocketAddress(const QByteArray& name, socklen_t& length) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + 1, name.constData(), static_cast<std::size_t>(name.size()));
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return address;
}

QString SystemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace

TInstanceGuard::TInstanceGuard(const QString& stationFolder, QObject* parent)
    : QObject(parent), folder_(WithTrailingSlash(stationFolder)) {}

TInstanceGuard::~TInstanceGuard() {
  notifier_.reset();
  if (socketFd_ >= 0)
    ::close(socketFd_);
  // The lock file stays: removing it could let a starting copy lock a file nobody else sees.
  if (lockFd_ >= 0)
    ::close(lockFd_);
}

TInstanceGuard::TResult TInstanceGuard::Acquire() {
  if (lockFd_ >= 0)
    return TResult::First;
  if (!QDir().mkpath(folder_)) {
    message_ = QStringLiteral("Cannot create the station folder %1").arg(folder_);
    return TResult::Failed;
  }
  const QString lockFile = folder_ + QStringLiteral("tarvok.lock");
  const int fd =
      ::open(QFile::encodeName(lockFile).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    message_ = QStringLiteral("Error creating the instance lock %1 (%2)")
                   .arg(lockFile, SystemError(errno));
    return TResult::Failed;
  }
  const QByteArray name =
      "tarvok-" + QCryptographicHash::hash(QFileInfo(folder_).canonicalFilePath().toUtf8(),
                                           QCryptographicHash::Sha1)
                      .toHex();
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    lockFd_ = fd;
    Listen(name);
    return TResult::First;
  }
  const int error = errno;
  ::close(fd);
  if (error != EWOULDBLOCK) {
    message_ = QStringLiteral("Error creating the instance lock %1 (%2)")
                   .arg(lockFile, SystemError(error));
    return TResult::Failed;
  }
  const int client = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (client >= 0) {
    socklen_t length = 0;
    const sockaddr_un address = SocketAddress(name, length);
    ::sendto(client, &kRaise, 1, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&address), length);
    ::close(client);
  }
  message_ =
      QStringLiteral("Internet Repeater is already running on the station folder %1").arg(folder_);
  return TResult::Running;
}

void TInstanceGuard::Listen(const QByteArray& name) {
  socketFd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (socketFd_ < 0)
    return;
  socklen_t length = 0;
  const sockaddr_un address = SocketAddress(name, length);
  // Without the socket the station still runs; later copies just cannot raise it.
  if (::bind(socketFd_, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
    ::close(socketFd_);
    socketFd_ = -1;
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(socketFd_, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &TInstanceGuard::ReadRequests);
}

void TInstanceGuard::ReadRequests() {
  char byte = 0;
  while (::recv(socketFd_, &byte, 1, 0) >= 0) {
    if (byte == kRaise)
      emit RaiseRequested();
  }
}

}  // namespace tarvok
