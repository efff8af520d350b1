#include "support/pulse_test_server.h"

#include <signal.h>
#include <sys/prctl.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <thread>

namespace tarvok {

namespace {

const QString kRxSink = QStringLiteral(
    "module-null-sink sink_name=rx sink_properties='device.description=\"Radio RX\"'");
const QString kTxSink = QStringLiteral(
    "module-null-sink sink_name=tx sink_properties='device.description=\"Radio TX\"'");
const QString kReceiver = QStringLiteral(
    "module-remap-source master=rx.monitor source_name=receiver "
    "source_properties='device.description=\"Receiver input\"'");
constexpr int kStartMs = 15000;

void KillProcess(QProcess& process, int signal) {
  if (process.state() == QProcess::NotRunning)
    return;
  ::kill(static_cast<pid_t>(process.processId()), signal);
  if (!process.waitForFinished(10000) && signal != SIGKILL)
    KillProcess(process, SIGKILL);
}

}  // namespace

TSoundServerKind SoundServerKindFromEnvironment() {
  return qEnvironmentVariable("TARVOK_TEST_SOUND_SERVER")
                     .compare("pipewire", Qt::CaseInsensitive) == 0
             ? TSoundServerKind::PipeWire
             : TSoundServerKind::PulseAudio;
}

QString SoundServerName(TSoundServerKind kind) {
  return kind == TSoundServerKind::PipeWire ? QStringLiteral("PipeWire")
                                            : QStringLiteral("PulseAudio");
}

TPulseTestServer::TPulseTestServer(TSoundServerKind kind) : kind_(kind) {
  QFile::setPermissions(runtime_.path(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TPulseTestServer::~TPulseTestServer() {
  Stop();
  if (bus_)
    KillProcess(*bus_, SIGTERM);
}

bool TPulseTestServer::Start(QString& error) {
  // PipeWire's session manager does not always come up on a loaded machine; that is the server's
  // business, not the station's, so it gets a second try.
  if (StartOnce(error))
    return true;
  Kill();
  error.clear();
  return StartOnce(error);
}

bool TPulseTestServer::StartOnce(QString& error) {
  qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
  qunsetenv("PULSE_SERVER");
  servers_.clear();
  const bool started =
      kind_ == TSoundServerKind::PipeWire ? StartPipeWire(error) : StartPulseAudio(error);
  if (!started)
    return false;
  if (!WaitUntil(
          [this] {
            int code = -1;
            const QString sources =
                Run(QStringLiteral("pactl"), {"list", "short", "sources"}, &code);
            return (code == 0 && sources.contains("tx.monitor") && sources.contains("receiver")) ||
                   !Running();
          },
          kStartMs) ||
      !Running()) {
    error = QStringLiteral("the private %1 server does not answer").arg(SoundServerName(kind_));
    return false;
  }
  return true;
}

bool TPulseTestServer::StartProcess(const QString& program, const QStringList& arguments,
                                    QString& error) {
  auto process = std::make_unique<QProcess>();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  // The server keeps its state files and its session bus inside the runtime folder.
  environment.insert("HOME", runtime_.filePath("home"));
  environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime_.filePath("bus"));
  process->setProcessEnvironment(environment);
  // The server ends with this process, also when a test crashes.
  process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  process->start(program, arguments);
  if (!process->waitForStarted(10000)) {
    error = QStringLiteral("%1 cannot be started: %2").arg(program, process->errorString());
    return false;
  }
  if (program == QLatin1String("dbus-daemon"))
    bus_ = std::move(process);
  else
    servers_.push_back(std::move(process));
  return true;
}

bool TPulseTestServer::StartPulseAudio(QString& error) {
  return StartProcess(
      QStringLiteral("pulseaudio"),
      {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "--use-pid-file=no", "-L",
       kRxSink, "-L", kTxSink, "-L", kReceiver, "-L", "module-native-protocol-unix"},
      error);
}

bool TPulseTestServer::StartPipeWire(QString& error) {
  QDir().mkpath(runtime_.filePath("home"));
  if (!bus_ || bus_->state() == QProcess::NotRunning) {
    QFile::remove(runtime_.filePath("bus"));
    if (!StartProcess(QStringLiteral("dbus-daemon"),
                      {"--session", "--nofork", "--nopidfile",
                       "--address=unix:path=" + runtime_.filePath("bus")},
                      error))
      return false;
  }
  const auto exists = [this](const QString& name) {
    return [path = runtime_.filePath(name)] { return QFileInfo::exists(path); };
  };
  // Each part waits for the one before it: the bus, the graph's socket, then the session manager
  // (the PulseAudio server asks it for the default devices).
  if (!WaitUntil(exists("bus"), kStartMs) || !StartProcess("pipewire", {}, error) ||
      !WaitUntil(exists("pipewire-0"), kStartMs) || !StartProcess("wireplumber", {}, error) ||
      !StartProcess("pipewire-pulse", {}, error)) {
    if (error.isEmpty())
      error = QStringLiteral("the private PipeWire server does not start");
    return false;
  }
  if (!WaitUntil(
          [this] {
            int code = -1;
            Run(QStringLiteral("pactl"), {"info"}, &code);
            return code == 0 || !Running();
          },
          kStartMs)) {
    error = QStringLiteral("pipewire-pulse does not answer");
    return false;
  }
  if (!LoadDevices(error))
    return false;
  // The session manager links new streams and picks a default sink once it is running.
  if (!WaitUntil(
          [this] {
            return Run(QStringLiteral("pactl"), {"get-default-sink"}).trimmed() != "auto_null" ||
                   !Running();
          },
          kStartMs)) {
    error = QStringLiteral("wireplumber picks no default sink");
    return false;
  }
  return true;
}

bool TPulseTestServer::LoadDevices(QString& error) {
  for (const QString& module : {kRxSink, kTxSink, kReceiver}) {
    int code = -1;
    Run(QStringLiteral("pactl"), QStringList{"load-module"} + module.split(' '), &code);
    if (code != 0) {
      error = QStringLiteral("pactl load-module %1 failed").arg(module);
      return false;
    }
  }
  return true;
}

bool TPulseTestServer::Running() const {
  return !servers_.empty() && std::all_of(servers_.begin(), servers_.end(), [](const auto& p) {
    return p->state() != QProcess::NotRunning;
  });
}

void TPulseTestServer::Kill() {
  for (auto& process : servers_)
    KillProcess(*process, SIGKILL);
}

void TPulseTestServer::Stop() {
  // The PulseAudio server before the graph it serves.
  for (auto it = servers_.rbegin(); it != servers_.rend(); ++it)
    KillProcess(**it, SIGTERM);
}

QList<qint64> TPulseTestServer::ProcessIds() const {
  QList<qint64> ids;
  for (const auto& process : servers_)
    ids << process->processId();
  return ids;
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
  recorder.start(QStringLiteral("parec"),
                 {"-d", source, "--format=s16le", "--rate=8000", "--channels=1",
                  // One channel as it is: PipeWire would sum the two.
                  "--channel-map=front-left", "--latency-msec=20"});
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
