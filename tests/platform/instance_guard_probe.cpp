// A station stand-in for the single-instance tests: takes the guard of the folder given as its
// argument and reports on standard output. The first copy prints "first" and then "raise" for
// every request to come to the front, until it is killed; a refused copy prints the guard's
// message and exits with 3 (2 when the guard failed).
#include <QCoreApplication>
#include <cstdio>

#include "platform/instance_guard.h"

namespace {

void Say(const QString& text) {
  std::printf("%s\n", text.toLocal8Bit().constData());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  if (argc != 2)
    return 1;
  tarvok::TInstanceGuard guard(QString::fromLocal8Bit(argv[1]));
  switch (guard.Acquire()) {
    case tarvok::TInstanceGuard::TResult::First:
      QObject::connect(&guard, &tarvok::TInstanceGuard::RaiseRequested, [] { Say("raise"); });
      Say("first");
      return QCoreApplication::exec();
    case tarvok::TInstanceGuard::TResult::Running:
      Say(guard.Message());
      return 3;
    case tarvok::TInstanceGuard::TResult::Failed:
      Say(guard.Message());
      return 2;
  }
  return 1;
}
