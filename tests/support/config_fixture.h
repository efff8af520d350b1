// A configuration object in a temporary station folder, with a recording keying port and
// message sink, for the configuration tests.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "core/common/clock.h"
#include "core/common/user_messages.h"
#include "core/config/config.h"
#include "core/config/keying_port.h"

namespace tarvok {

class TRecordingMessages final : public TUserMessages {
 public:
  void ShowError(const QString& message) override { Shown.push_back(message); }
  std::vector<QString> Shown;
};

// Opens every device except those listed as missing, and logs what is done to it.
class TFakeKeyingPort final : public TKeyingPort {
 public:
  bool Open(const QString& device) override {
    Log.push_back("open " + device);
    if (Missing.contains(device))
      return false;
    Device = device;
    Dtr = Rts = false;
    return true;
  }
  void SetLine(TModemLine line, bool raised) override {
    (line == TModemLine::Dtr ? Dtr : Rts) = raised;
  }
  void Close() override {
    Log.push_back("close " + Device);
    Dtr = Rts = false;
    Device.clear();
  }

  QStringList Missing;
  QStringList Log;
  QString Device;
  bool Dtr = false;
  bool Rts = false;
};

class ConfigTest : public ::testing::Test {
 protected:
  ConfigTest() : folder_(dir_.path()), clock_(QDateTime(QDate(2026, 12, 5), QTime(7, 14, 22))) {}

  TConfig& Config() {
    if (!config_)
      config_ = std::make_unique<TConfig>(folder_, clock_, messages_);
    return *config_;
  }
  void Reload() {
    config_.reset();
    Config();
  }
  void WriteSettings(const QByteArray& content) {
    QFile file(folder_.SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  QByteArray Settings() const {
    QFile file(folder_.SettingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QString Stored(const QString& section, const QString& key) const {
    return TIniFile(folder_.SettingsFile()).ReadString(section, key, "<missing>");
  }

  QTemporaryDir dir_;
  TStationFolder folder_;
  TManualClock clock_;
  TFakeKeyingPort port_;
  TRecordingMessages messages_;
  std::unique_ptr<TConfig> config_;
};

}  // namespace tarvok
