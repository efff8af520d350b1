// A tarvok process under test and what it has written to standard output so far.
#pragma once

#include <QElapsedTimer>
#include <QProcess>

namespace tarvok {

struct TStationProcess {
  // Reads the output until it holds the text; false after the timeout.
  bool WaitFor(const QByteArray& text, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!Output.contains(text) && timer.elapsed() < timeoutMs) {
      Process.waitForReadyRead(200);
      Output += Process.readAllStandardOutput();
    }
    return Output.contains(text);
  }

  QProcess Process;
  QByteArray Output;
};

}  // namespace tarvok
