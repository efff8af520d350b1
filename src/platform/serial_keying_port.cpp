#include "platform/serial_keying_port.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>

namespace tarvok {

namespace {

constexpr int kBothLines = TIOCM_DTR | TIOCM_RTS;

void ClearLines(int fd) {
  int lines = kBothLines;
  ::ioctl(fd, TIOCMBIC, &lines);
}

// Runs in the forked guard: only async-signal-safe calls until _exit.
[[noreturn]] void RunGuard(int tty, int pipeIn) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  // Ctrl-C reaches the whole process group; the station, not the guard, decides when to stop.
  ::sigaction(SIGINT, &ignore, nullptr);
  ::sigaction(SIGTERM, &ignore, nullptr);
  ::sigaction(SIGHUP, &ignore, nullptr);
  const int low = tty < pipeIn ? tty : pipeIn;
  const int high = tty < pipeIn ? pipeIn : tty;
  ::close_range(3, low - 1, 0);
  ::close_range(low + 1, high - 1, 0);
  ::close_range(high + 1, ~0U, 0);
  char byte;
  ssize_t n;
  while ((n = ::read(pipeIn, &byte, 1)) > 0 || (n < 0 && errno == EINTR)) {
  }
  ClearLines(tty);
  ::_exit(0);
}

}  // namespace

TSerialKeyingPort::~TSerialKeyingPort() { Close(); }

bool TSerialKeyingPort::Open(const QString& device) {
  Close();
  const int fd =
      ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return false;
  // Opening raised both lines, which keys the radio: clear them before anything else.
  ClearLines(fd);
  int lines = 0;
  if (::ioctl(fd, TIOCMGET, &lines) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  ::ioctl(fd, TIOCEXCL);
  termios settings{};
  if (::tcgetattr(fd, &settings) == 0 && !(settings.c_cflag & HUPCL)) {
    settings.c_cflag |= HUPCL;
    ::tcsetattr(fd, TCSANOW, &settings);
  }
  ::tcflush(fd, TCIOFLUSH);
  fd_ = fd;
  StartGuard();
  return true;
}

void TSerialKeyingPort::SetLine(TModemLine line, bool raised) {
  if (fd_ < 0)
    return;
  int bits = line == TModemLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
  ::ioctl(fd_, raised ? TIOCMBIS : TIOCMBIC, &bits);
}

void TSerialKeyingPort::Close() {
  if (fd_ < 0)
    return;
  ClearLines(fd_);
  ::tcflush(fd_, TCIOFLUSH);
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
  fd_ = -1;
  StopGuard();
}

void TSerialKeyingPort::StartGuard() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0)
    return;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[1]);
    RunGuard(fd_, fds[0]);
  }
  ::close(fds[0]);
  if (pid < 0) {
    ::close(fds[1]);
    return;
  }
  guardPid_ = pid;
  guardPipe_ = fds[1];
}

void TSerialKeyingPort::StopGuard() {
  if (guardPid_ < 0)
    return;
  ::close(guardPipe_);
  while (::waitpid(guardPid_, nullptr, 0) < 0 && errno == EINTR) {
  }
  guardPipe_ = -1;
  guardPid_ = -1;
}

}  // namespace tarvok
