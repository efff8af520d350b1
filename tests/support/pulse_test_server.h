// A private sound server for the tests and benchmarks, PulseAudio or PipeWire with its PulseAudio
// server: its own runtime folder, two null sinks "rx" and "tx" ("Radio RX", "Radio TX") and a
// source "receiver" ("Receiver input") that records what "rx" plays. Clients of this process find
// it through XDG_RUNTIME_DIR, which Start sets. The servers are stopped by their process ids.
#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

namespace tarvok {

enum class TSoundServerKind { PulseAudio, PipeWire };

// The kind named by TARVOK_TEST_SOUND_SERVER ("pipewire" or "pulseaudio", the default).
TSoundServerKind SoundServerKindFromEnvironment();
QString SoundServerName(TSoundServerKind kind);

class TPulseTestServer {
 public:
  explicit TPulseTestServer(TSoundServerKind kind = SoundServerKindFromEnvironment());
  ~TPulseTestServer();

  TSoundServerKind Kind() const { return kind_; }
  // Starts the server and waits until it answers with its sinks and sources; false with a reason
  // when it cannot be started.
  bool Start(QString& error);
  // Kills the server at once, as a crash would end it.
  void Kill();
  void Stop();
  // The processes that do the server's work (for PipeWire: pipewire, wireplumber, pipewire-pulse).
  QList<qint64> ProcessIds() const;

  // Runs a client program (pactl, paplay) against the server and returns its output.
  QString Run(const QString& program, const QStringList& arguments, int* exitCode = nullptr);
  // Starts paplay on a sink; it runs until the file ends or the process is stopped.
  void Play(QProcess& player, const QString& sink, const QString& file);
  // Starts parec on a source: its left channel, 16-bit at 8000 Hz, on its standard output, 20 ms
  // at a time, until the process is stopped.
  void Record(QProcess& recorder, const QString& source);

 private:
  bool StartOnce(QString& error);
  bool StartProcess(const QString& program, const QStringList& arguments, QString& error);
  bool StartPulseAudio(QString& error);
  bool StartPipeWire(QString& error);
  bool LoadDevices(QString& error);
  bool Running() const;

  const TSoundServerKind kind_;
  QTemporaryDir runtime_;
  std::unique_ptr<QProcess> bus_;
  std::vector<std::unique_ptr<QProcess>> servers_;
};

// Writes a 16-bit mono sine tone as a WAV file.
bool WriteToneWav(const QString& path, double frequency, double dbfs, double seconds,
                  int sampleRate = 8000);

// Processes events until the condition holds or the time is up; whether it holds.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

}  // namespace tarvok
