// The single-instance guard between real processes: a second copy on the same station folder is
// refused and raises the first; a killed copy leaves nothing behind; other folders are other
// stations.
#include "platform/instance_guard.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <memory>

namespace tarvok {
namespace {

constexpr int kWaitMs = 10000;

class InstanceGuardTest : public ::testing::Test {
 protected:
  // Starts a probe on the folder and waits for its first line.
  std::unique_ptr<QProcess> Launch(const QString& folder, QByteArray* firstLine) {
    auto probe = std::make_unique<QProcess>();
    probe->start(QStringLiteral(TARVOK_INSTANCE_PROBE), {folder});
    EXPECT_TRUE(probe->waitForStarted(kWaitMs));
    *firstLine = ReadLine(*probe);
    return probe;
  }
  static QByteArray ReadLine(QProcess& probe) {
    while (!probe.canReadLine()) {
      if (!probe.waitForReadyRead(kWaitMs))
        return {};
    }
    return probe.readLine().trimmed();
  }
  static void Stop(QProcess& probe) {
    probe.kill();
    probe.waitForFinished(kWaitMs);
  }

  QTemporaryDir dir_;
  QString folder_ = dir_.filePath(QStringLiteral("station"));
};

TEST_F(InstanceGuardTest, ASecondCopyIsRefusedAndRaisesTheFirst) {
  QByteArray line;
  auto first = Launch(folder_, &line);
  ASSERT_EQ(line, "first");

  // Also when the folder is named another way.
  const QString link = dir_.filePath(QStringLiteral("link"));
  ASSERT_TRUE(QFile::link(folder_, link));
  for (const QString& folder : {folder_, link + QStringLiteral("/")}) {
    auto second = Launch(folder, &line);
    EXPECT_TRUE(second->waitForFinished(kWaitMs));
    EXPECT_EQ(second->exitCode(), 3);
    EXPECT_TRUE(line.startsWith("Internet Repeater is already running on the station folder"))
        << line.constData();
    EXPECT_EQ(ReadLine(*first), "raise") << folder.toStdString();
  }
  Stop(*first);
}

TEST_F(InstanceGuardTest, ACopyKilledOutrightDoesNotBlockTheNext) {
  QByteArray line;
  auto first = Launch(folder_, &line);
  ASSERT_EQ(line, "first");
  ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
  ASSERT_TRUE(first->waitForFinished(kWaitMs));
  EXPECT_EQ(first->exitStatus(), QProcess::CrashExit);

  auto next = Launch(folder_, &line);
  EXPECT_EQ(line, "first");
  auto refused = Launch(folder_, &line);
  EXPECT_TRUE(refused->waitForFinished(kWaitMs));
  EXPECT_EQ(refused->exitCode(), 3);
  Stop(*next);
}

TEST_F(InstanceGuardTest, AnotherFolderIsAnotherStation) {
  QByteArray line;
  auto first = Launch(folder_, &line);
  ASSERT_EQ(line, "first");
  auto other = Launch(dir_.filePath(QStringLiteral("other")), &line);
  EXPECT_EQ(line, "first");
  Stop(*other);
  Stop(*first);
}

TEST_F(InstanceGuardTest, AFolderThatCannotBeMadeIsReported) {
  QFile file(dir_.filePath(QStringLiteral("plain-file")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  TInstanceGuard guard(file.fileName() + QStringLiteral("/station"));
  EXPECT_EQ(guard.Acquire(), TInstanceGuard::TResult::Failed);
  EXPECT_TRUE(guard.Message().startsWith("Cannot create the station folder"))
      << guard.Message().toStdString();
}

}  // namespace
}  // namespace tarvok
