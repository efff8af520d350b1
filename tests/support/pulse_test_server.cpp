#include "support/pulse_test_server.h"

#include <signal.h>
#include <sys/prctl.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDevice>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <numbers>
#include <thread>

namespace tarvok {

TPulseTestServer::TPulseTestServer() {
  QFile::setPermissions(runtime_.path(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TPulseTestServer::~TPulseTestServer() { Stop(); }

bool TPulseTestServer::Start(QString& error) {
  qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
  qunsetenv("PULSE_SERVER");
  server_.setProcessChannelMode(QProcess::MergedChannels);
  // The server ends with this process, also when a test crashes.
  server_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
  server_.setStandardOutputFile(QProcess::nullDevice());
  server_.start(
      QStringLiteral("pulseaudio"),
      {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "--use-pid-file=no", "-L",
       "module-null-sink sink_name=rx sink_properties='device.description=\"Radio RX\"'", "-L",
       "module-null-sink sink_name=tx sink_properties='device.description=\"Radio TX\"'", "-L",
       "module-remap-source master=rx.monitor source_name=receiver "
       "source_properties='device.description=\"Receiver input\"'",
       "-L", "module-native-protocol-unix"});
  if (!server_.waitForStarted(10000)) {
    error = QStringLiteral("pulseaudio cannot be started: %1").arg(server_.errorString());
    return false;
  }
  QElapsedTimer clock;
  clock.start();
  int code = -1;
  while (clock.elapsed() < 15000) {
    const QString sources = Run(QStringLiteral("pactl"), {"list", "short", "sources"}, &code);
    if (code == 0 && sources.contains("tx.monitor") && sources.contains("receiver"))
      return true;
    if (server_.state() == QProcess::NotRunning)
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  error = QStringLiteral("the private PulseAudio server does not answer");
  return false;
}

void TPulseTestServer::Kill() {
  if (server_.state() == QProcess::NotRunning)
    return;
  ::kill(static_cast<pid_t>(server_.processId()), SIGKILL);
  server_.waitForFinished(10000);
}

void TPulseTestServer::Stop() {
  if (server_.state() == QProcess::NotRunning)
    return;
  ::kill(static_cast<pid_t>(server_.processId()), SIGTERM);
  if (!server_.waitForFinished(10000))
    Kill();
}

QString TPulseTestServer::Run(const QString& program, const QStringList& arguments, int* exitCode) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(10000);
  if (exitCode != nullptr)
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

void TPulseTestServer::Play(QProcess& player, const QString& sink, const QString& file) {
  player.start(QStringLiteral("paplay"), {"-d", sink, file});
  player.waitForStarted(10000);
}

void TPulseTestServer::Record(QProcess& recorder, const QString& source) {
  recorder.start(QStringLiteral("parec"), {"-d", source, "--format=s16le", "--rate=8000",
                                           "--channels=1", "--latency-msec=20"});
  recorder.waitForStarted(10000);
}

bool WriteToneWav(const QString& path, double frequency, double dbfs, double seconds,
                  int sampleRate) {
  const auto count = static_cast<std::uint32_t>(seconds * sampleRate);
  const double amplitude = 32767.0 * std::pow(10.0, dbfs / 20.0);
  QByteArray data(static_cast<qsizetype>(count) * 2, '\0');
  for (std::uint32_t i = 0; i < count; ++i) {
    const auto s = static_cast<std::int16_t>(
        std::lround(amplitude * std::sin(2.0 * std::numbers::pi * frequency * i / sampleRate)));
    qToLittleEndian(s, data.data() + 2 * i);
  }
  QByteArray header(44, '\0');
  char* h = header.data();
  std::memcpy(h, "RIFF", 4);
  qToLittleEndian<std::uint32_t>(36 + count * 2, h + 4);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  qToLittleEndian<std::uint32_t>(16, h + 16);
  qToLittleEndian<std::uint16_t>(1, h + 20);
  qToLittleEndian<std::uint16_t>(1, h + 22);
  qToLittleEndian<std::uint32_t>(static_cast<std::uint32_t>(sampleRate), h + 24);
  qToLittleEndian<std::uint32_t>(static_cast<std::uint32_t>(sampleRate * 2), h + 28);
  qToLittleEndian<std::uint16_t>(2, h + 32);
  qToLittleEndian<std::uint16_t>(16, h + 34);
  std::memcpy(h + 36, "data", 4);
  qToLittleEndian<std::uint32_t>(count * 2, h + 40);
  QFile file(path);
  return file.open(QIODevice::WriteOnly) &&
         file.write(header + data) == header.size() + data.size();
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace tarvok
