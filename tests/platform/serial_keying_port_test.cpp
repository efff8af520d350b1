// Keying on the machine's real serial port; skipped where there is none.
#include "platform/serial_keying_port.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <chrono>
#include <thread>

#include "support/child_process.h"

namespace tarvok {
namespace {

const QString kDevice = QStringLiteral("/dev/ttyS0");

// The modem lines as the station's own open descriptor reads them.
int LinesOfOpenPort() {
  const QDir fds(QStringLiteral("/proc/self/fd"));
  for (const QFileInfo& entry : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot)) {
    if (entry.symLinkTarget() != kDevice)
      continue;
    int lines = 0;
    if (::ioctl(entry.fileName().toInt(), TIOCMGET, &lines) == 0)
      return lines;
  }
  return -1;
}

// The lines as the driver reports them, without opening the port (which would raise them).
std::optional<bool> DriverShowsDtr() {
  QFile file(QStringLiteral("/proc/tty/driver/serial"));
  if (!file.open(QIODevice::ReadOnly))
    return std::nullopt;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (line.startsWith("0:")) {
      return QString::fromLatin1(line).contains(QRegularExpression(QStringLiteral("\\bDTR\\b")));
    }
  }
  return std::nullopt;
}

class SerialKeyingPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TSerialKeyingPort probe;
    if (!probe.Open(kDevice))
      GTEST_SKIP() << "no usable serial port " << kDevice.toStdString();
  }
};

TEST_F(SerialKeyingPortTest, OpeningClearsBothLinesAndEachLineCanBeKeyed) {
  TSerialKeyingPort port;
  ASSERT_TRUE(port.Open(kDevice));
  EXPECT_EQ(LinesOfOpenPort() & (TIOCM_DTR | TIOCM_RTS), 0);
  port.SetLine(TModemLine::Dtr, true);
  EXPECT_EQ(LinesOfOpenPort() & (TIOCM_DTR | TIOCM_RTS), TIOCM_DTR);
  port.SetLine(TModemLine::Rts, true);
  port.SetLine(TModemLine::Dtr, false);
  EXPECT_EQ(LinesOfOpenPort() & (TIOCM_DTR | TIOCM_RTS), TIOCM_RTS);
  port.Close();
  EXPECT_EQ(LinesOfOpenPort(), -1);
}

TEST_F(SerialKeyingPortTest, APortInUseByAnotherStationIsRefused) {
  TSerialKeyingPort first;
  TSerialKeyingPort second;
  ASSERT_TRUE(first.Open(kDevice));
  EXPECT_FALSE(second.Open(kDevice));
  first.Close();
  EXPECT_TRUE(second.Open(kDevice));
}

TEST(SerialKeyingPortDevicesTest, DevicesWithoutModemLinesAreRefused) {
  TSerialKeyingPort port;
  EXPECT_FALSE(port.Open(QStringLiteral("/dev/null")));
  EXPECT_FALSE(port.Open(QStringLiteral("/dev/ttyS-does-not-exist")));
}

TEST_F(SerialKeyingPortTest, KillingAKeyedStationReleasesTheTransmitter) {
  if (!DriverShowsDtr())
    GTEST_SKIP() << "/proc/tty/driver/serial is not readable";
  TKilledChild child([] {
    // The port stays open with the child: it must outlive this function.
    static TSerialKeyingPort port;
    if (!port.Open(kDevice))
      ::_exit(1);
    port.SetLine(TModemLine::Dtr, true);
  });
  ASSERT_TRUE(child.Ready());
  EXPECT_EQ(DriverShowsDtr(), true);

  child.Kill();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (DriverShowsDtr() != false && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(DriverShowsDtr(), false);
}

}  // namespace
}  // namespace tarvok
