#include "platform/signal_watcher.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <QSocketNotifier>

namespace tarvok {

namespace {

int pipeFds[2] = {-1, -1};

void OnSignal(int signalNumber) {
  const int savedErrno = errno;
  const char byte = static_cast<char>(signalNumber);
  [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &byte, 1);
  errno = savedErrno;
}

void Install(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

TSignalWatcher::TSignalWatcher(QObject* parent) : QObject(parent) {
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
    return;
  notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TSignalWatcher::Drain);
  Install(OnSignal);
}

TSignalWatcher::~TSignalWatcher() {
  if (!notifier_)
    return;
  Install(SIG_DFL);
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  pipeFds[0] = pipeFds[1] = -1;
}

void TSignalWatcher::Drain() {
  char byte;
  while (::read(pipeFds[0], &byte, 1) == 1)
    emit StopRequested(byte);
}

}  // namespace tarvok
