#include "core/config/dtmf_control_settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/storage/ini_file.h"

namespace tarvok {
namespace {

TDtmfControlSettings LoadFrom(const QByteArray& text, QString& problem) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("tarvok.ini"));
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
  file.close();
  return TDtmfControlSettings::Load(TIniFile(path), problem);
}

TEST(DtmfControlSettingsTest, AValidPinEnablesControlAndABadOneTurnsItOffSayingWhy) {
  QString problem;
  TDtmfControlSettings settings = LoadFrom("[DTMFControl]\nEnabled=1\nPIN=2468\n", problem);
  EXPECT_TRUE(settings.Enabled);
  EXPECT_EQ(settings.Pin, "2468");
  EXPECT_TRUE(problem.isEmpty());

  EXPECT_FALSE(LoadFrom("", problem).Enabled);
  EXPECT_TRUE(problem.isEmpty()) << "off by default, nothing to say";

  for (const QByteArray& pin : {QByteArray("PIN=24a8\n"), QByteArray("PIN=123\n"), QByteArray()}) {
    settings = LoadFrom("[DTMFControl]\nEnabled=1\n" + pin, problem);
    EXPECT_FALSE(settings.Enabled) << pin.constData();
    EXPECT_TRUE(settings.Pin.empty());
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_FALSE(problem.contains(QStringLiteral("24a8")));
    EXPECT_FALSE(problem.contains(QStringLiteral("123")));
  }
}

}  // namespace
}  // namespace tarvok
