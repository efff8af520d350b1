#include "core/station/status_display.h"

#include <QCoreApplication>
#include <memory>

#include "support/station_fixture.h"

namespace tarvok {
namespace {

class StatusDisplayTest : public ConfigTest {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }

  TStatusDisplay& Display() {
    if (!display_) {
      recorder_ = std::make_unique<TFakeRecorder>(Config());
      display_ = std::make_unique<TStatusDisplay>(state_, Config(), clock_, *recorder_);
    }
    return *display_;
  }
  QByteArray DebugLog() const {
    QFile file(folder_.DebugLogFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  TStationState state_;
  std::unique_ptr<TFakeRecorder> recorder_;
  std::unique_ptr<TStatusDisplay> display_;
};

TEST_F(StatusDisplayTest, ErrorLineGoesToTheDebugLogWhenDebugIsOn) {
  WriteSettings("[Audio]\nDebug=1\n");
  QStringList shown;
  QObject::connect(&Display(), &TStatusDisplay::ErrorChanged,
                   [&](const QString& t) { shown << t; });
  Display().ShowError("Cannot open COM3 port");
  EXPECT_EQ(Display().ErrorText(), "Cannot open COM3 port");
  Display().ClearError();
  EXPECT_EQ(shown, (QStringList{"Cannot open COM3 port", ""}));
  EXPECT_TRUE(DebugLog().endsWith(": Cannot open COM3 port\n"));
  state_.Closing = true;
  Display().ShowError("late");
  EXPECT_TRUE(Display().ErrorText().isEmpty());
}

TEST_F(StatusDisplayTest, TransferCountersInBytesOrSeconds) {
  EXPECT_EQ(TransferText(0, 16000, 800, 8000), "Read: 16000b, Write: 800b    ");
  EXPECT_EQ(TransferText(1, 16000, 8000, 8000), "Read: 2s, Write: 1s    ");
  EXPECT_EQ(TransferText(1, 16000, 8000, 0), "Read: 0s, Write: 0s    ");
}

TEST_F(StatusDisplayTest, CountersAreShownAtMostEveryTwoHundredMilliseconds) {
  int shown = 0;
  QObject::connect(&Display(), &TStatusDisplay::TransferChanged, [&] { ++shown; });
  recorder_->Read = 16000;
  Config().SetShowSize(1);
  const auto tick = [&](qint64 advance) {
    clock_.AdvanceMilliseconds(advance);
    Display().ProgressTick();
    QCoreApplication::processEvents();
  };
  tick(0);
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(Display().Transfer().startsWith("Read: 2s,"));
  tick(150);
  tick(50);
  EXPECT_EQ(shown, 1);
  tick(1);
  EXPECT_EQ(shown, 2);
  tick(-60000);  // the clock was set back
  EXPECT_EQ(shown, 3);
}

}  // namespace
}  // namespace tarvok
