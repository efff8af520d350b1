// A private PulseAudio server for the tests and benchmarks: its own runtime folder, two null sinks
// "rx" and "tx" ("Radio RX", "Radio TX") and a source "receiver" that records what "rx" plays.
// Clients of this process find it through XDG_RUNTIME_DIR, which Start sets. The server is stopped
// by its process id.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <functional>

namespace tarvok {

class TPulseTestServer {
 public:
  TPulseTestServer();
  ~TPulseTestServer();

  // Starts the server and waits until it answers; false with a reason when it cannot be started.
  bool Start(QString& error);
  // Kills the server at once, as a crash or an unplugged card would end it.
  void Kill();
  void Stop();
  qint64 ProcessId() const { return server_.processId(); }

  // Runs a client program (pactl, paplay) against the server and returns its output.
  QString Run(const QString& program, const QStringList& arguments, int* exitCode = nullptr);
  // Starts paplay on a sink; it runs until the file ends or the process is stopped.
  void Play(QProcess& player, const QString& sink, const QString& file);
  // Starts parec on a source: 16-bit mono at 8000 Hz on its standard output, 20 ms at a time,
  // until the process is stopped.
  void Record(QProcess& recorder, const QString& source);

 private:
  QTemporaryDir runtime_;
  QProcess server_;
};

// Writes a 16-bit mono sine tone as a WAV file.
bool WriteToneWav(const QString& path, double frequency, double dbfs, double seconds,
                  int sampleRate = 8000);

// Processes events until the condition holds or the time is up; whether it holds.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

}  // namespace tarvok
