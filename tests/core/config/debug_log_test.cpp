#include "core/config/debug_log.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <thread>
#include <vector>

#include "core/common/clock.h"

namespace tarvok {
namespace {

class DebugLogTest : public ::testing::Test {
 protected:
  QByteArray Content() const {
    QFile file(path_);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  QString path_ = dir_.filePath("debug.log");
  TManualClock clock_{QDateTime(QDate(2026, 12, 5), QTime(7, 14, 22))};
};

TEST_F(DebugLogTest, WritesStampedLinesOnlyWhileOpen) {
  TDebugLog log(path_, clock_);
  log.Write("before");
  EXPECT_FALSE(QFile::exists(path_));
  log.Open();
  log.Write("Cannot open COM3 port");
  log.Write("two\nlines");
  log.Close();
  log.Write("after");
  EXPECT_EQ(Content(),
            "12/05/2026 07:14:22: Cannot open COM3 port\n12/05/2026 07:14:22: two\nlines\n");
}

TEST_F(DebugLogTest, ASecondRunAppendsToTheFirst) {
  {
    TDebugLog log(path_, clock_);
    log.Open();
    log.Write("first run");
  }
  clock_.AdvanceMilliseconds(86400 * 1000);
  TDebugLog log(path_, clock_);
  log.Open();
  log.Write("second run");
  EXPECT_EQ(Content(), "12/05/2026 07:14:22: first run\n12/06/2026 07:14:22: second run\n");
}

TEST_F(DebugLogTest, LinesFromManyThreadsStayWhole) {
  TDebugLog log(path_, clock_);
  log.Open();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&log, t] {
      for (int i = 0; i < 100; ++i)
        log.Write(QString("thread %1 line %2 ").arg(t).arg(i).repeated(8));
    });
  }
  for (auto& thread : threads)
    thread.join();
  const QList<QByteArray> lines = Content().split('\n');
  ASSERT_EQ(lines.size(), 401);
  for (int i = 0; i < 400; ++i) {
    const QByteArray body = lines[i].mid(21);
    EXPECT_EQ(body, body.left(body.size() / 8).repeated(8)) << lines[i].constData();
  }
}

TEST_F(DebugLogTest, AnUnwritableFileLeavesTheLogOff) {
  TDebugLog log(dir_.filePath("no/such/folder/debug.log"), clock_);
  log.Open();
  EXPECT_FALSE(log.IsOpen());
  log.Write("nothing happens");
}

}  // namespace
}  // namespace tarvok
