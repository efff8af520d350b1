// The assembly of a station for a window: a failure to put it together is told at once, before
// there is an event loop to hand it over; what the running station reports comes from the loop.
#include "platform/station_assembly.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/common/clock.h"
#include "support/application.h"
#include "support/config_fixture.h"

namespace tarvok {
namespace {

TEST(StationAssemblyTest, AWindowIsToldOfFailuresAtOnceAndOfTheStationsErrorsFromTheLoop) {
  EnsureApplication();
  QTemporaryDir dir;
  TManualClock clock(QDateTime(QDate(2026, 12, 6), QTime(8, 0)));
  TRecordingMessages messages;
  QFile blocker(dir.filePath("file"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  {
    TStationAssembly failed({dir.filePath("file/station"), "virtual", TStationRole::Window}, clock,
                            messages);
    EXPECT_EQ(failed.Failure(), TStationAssembly::kNoFolder);
  }
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_TRUE(messages.Shown[0].startsWith("Cannot create the station folder"));

  QFile settings(dir.filePath("station/tarvok.ini"));
  ASSERT_TRUE(QDir(dir.path()).mkpath("station"));
  ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
  settings.write("[Audio]\nComDevice=/dev/ttyS-missing\n");
  settings.close();
  TStationAssembly assembly({dir.filePath("station"), "virtual", TStationRole::Window}, clock,
                            messages);
  ASSERT_EQ(assembly.Failure(), 0);
  EXPECT_EQ(messages.Shown.size(), 1u) << "the keying port's failure waits for the loop";
  RunQueuedCalls();
  ASSERT_EQ(messages.Shown.size(), 2u);
  EXPECT_EQ(messages.Shown[1], "Cannot open /dev/ttyS-missing port");
  assembly.Station().Close();
}

}  // namespace
}  // namespace tarvok
