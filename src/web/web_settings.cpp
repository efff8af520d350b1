#include "web/web_settings.h"

#include "core/storage/ini_file.h"

namespace tarvok {

TWebSettings TWebSettings::Read(const TIniFile& ini) {
  const QString section = QStringLiteral("Web");
  TWebSettings settings;
  settings.Enabled = ini.ReadInteger(section, QStringLiteral("Enabled"), 0) != 0;
  settings.Listen = ini.ReadString(section, QStringLiteral("Listen"), settings.Listen).trimmed();
  settings.Certificate = ini.ReadString(section, QStringLiteral("Certificate"), {}).trimmed();
  settings.PrivateKey = ini.ReadString(section, QStringLiteral("PrivateKey"), {}).trimmed();
  settings.AllowPlainHttp = ini.ReadInteger(section, QStringLiteral("AllowPlainHttp"), 0) != 0;
  return settings;
}

bool ParseListen(const QString& text, QHostAddress& address, quint16& port) {
  const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
  if (colon <= 0)
    return false;
  QString host = text.left(colon);
  if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
    host = host.mid(1, host.size() - 2);
  bool ok = false;
  const uint number = text.mid(colon + 1).toUInt(&ok);
  if (!ok || number > 65535 || !address.setAddress(host))
    return false;
  port = static_cast<quint16>(number);
  return true;
}

}  // namespace tarvok
