// The [Web] section of the settings file: whether the console runs, where it listens, and the
// certificate and key that make it HTTPS.
#pragma once

#include <QHostAddress>
#include <QString>

namespace tarvok {

class TIniFile;

struct TWebSettings {
  static constexpr quint16 kDefaultPort = 8073;

  bool Enabled = false;
  QString Listen = QStringLiteral("127.0.0.1:8073");
  QString Certificate;  // PEM files; HTTPS when both are set
  QString PrivateKey;
  bool AllowPlainHttp = false;

  static TWebSettings Read(const TIniFile& ini);
  bool Https() const { return !Certificate.isEmpty() && !PrivateKey.isEmpty(); }
};

// "host:port" or "[v6]:port"; false when the text names no address and port.
bool ParseListen(const QString& text, QHostAddress& address, quint16& port);

}  // namespace tarvok
