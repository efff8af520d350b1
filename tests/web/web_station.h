// A tarvok station on the virtual card with its web console on 127.0.0.1 and a free port, and a
// plain HTTP client that writes requests byte for byte, malformed ones included.
#pragma once

#include <signal.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>

#include "support/station_process.h"
#include "web/web_users.h"

namespace tarvok {

struct THttpAnswer {
  int Status = 0;
  QByteArray Head;
  QByteArray Body;

  QByteArray Header(const QByteArray& name) const {
    for (const QByteArray& line : Head.split('\n')) {
      if (line.toLower().startsWith(name.toLower() + ':'))
        return line.mid(name.size() + 1).trimmed();
    }
    return {};
  }
  QJsonObject Json() const { return QJsonDocument::fromJson(Body).object(); }
  QString Error() const { return Json().value(QStringLiteral("error")).toString(); }
};

// The answer to raw, read until the server closes the connection.
inline THttpAnswer Exchange(quint16 port, const QByteArray& raw, bool tls = false) {
  std::unique_ptr<QTcpSocket> socket;
  if (tls) {
    auto secure = std::make_unique<QSslSocket>();
    secure->setPeerVerifyMode(QSslSocket::VerifyNone);
    secure->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
    if (!secure->waitForEncrypted(5000))
      return {};
    socket = std::move(secure);
  } else {
    socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket->waitForConnected(5000))
      return {};
  }
  socket->write(raw);
  QByteArray reply;
  while (socket->state() == QAbstractSocket::ConnectedState && socket->waitForReadyRead(10000))
    reply += socket->readAll();
  reply += socket->readAll();
  THttpAnswer answer;
  const qsizetype end = reply.indexOf("\r\n\r\n");
  answer.Head = reply.left(end);
  answer.Body = end < 0 ? QByteArray() : reply.mid(end + 4);
  answer.Status = reply.mid(9, 3).toInt();
  return answer;
}

inline quint16 FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

struct TLogin {
  QByteArray Cookie;  // "tarvok_session=..."
  QByteArray Token;
};

class TWebStation {
 public:
  static constexpr const char* kPassword = "correct horse";

  TWebStation() { QDir().mkpath(Folder()); }
  ~TWebStation() { Stop(); }

  QString Folder() const { return home_.filePath(QStringLiteral("station")); }
  QString File(const QString& name) const { return Folder() + QLatin1Char('/') + name; }

  // ada is admin, otto operator, vera viewer, all with kPassword.
  void AddUsers() {
    std::map<QString, TWebUser> users;
    const QByteArray hash = TWebUsers::HashPassword(kPassword);
    users[QStringLiteral("ada")] = {TWebRole::Admin, hash};
    users[QStringLiteral("otto")] = {TWebRole::Operator, hash};
    users[QStringLiteral("vera")] = {TWebRole::Viewer, hash};
    TWebUsers::Write(TWebUsers::FileIn(Folder()), users);
  }

  // A Simplex Repeater that records 5 s of tone every minute, from second 8 on; web settings
  // of its own may follow in web.
  bool Start(const QByteArray& web = {}) {
    port_ = FreePort();
    QFile scenario(File(QStringLiteral("rx.scenario")));
    scenario.open(QIODevice::WriteOnly);
    scenario.write("0 rx silence\n2 rx tone 800 -12\n5 rx silence\nrepeat 60\n");
    scenario.close();
    QFile settings(File(QStringLiteral("tarvok.ini")));
    settings.open(QIODevice::WriteOnly);
    settings.write(
        "[Audio]\nSaveMode=1\nDefaultMode=2\nState=0\nSourceIndex0=3\nSourceIndex1=1\n"
        "ComDevice=virtual\nAudioTime2=30\nCWString2=TARVOK\n[Web]\nEnabled=1\n");
    settings.write(web.isEmpty() ? "Listen=127.0.0.1:" + QByteArray::number(port_) + '\n' : web);
    settings.close();
    run_.Process.start(
        QStringLiteral(TARVOK_BINARY),
        {QStringLiteral("--headless"), QStringLiteral("--home"), Folder(),
         QStringLiteral("--audio"), QStringLiteral("virtual:") + scenario.fileName()});
    // The default settings must start the console; others may be refused, which is logged too.
    return run_.Process.waitForStarted() &&
           WaitFor(web.isEmpty() ? "Web console on " : "Web console", 10000);
  }
  void Stop() {
    if (run_.Process.state() == QProcess::NotRunning)
      return;
    ::kill(static_cast<pid_t>(run_.Process.processId()), SIGTERM);
    run_.Process.waitForFinished(10000);
    run_.Output += run_.Process.readAllStandardOutput();
  }
  bool WaitFor(const QByteArray& text, int timeoutMs) { return run_.WaitFor(text, timeoutMs); }
  const QByteArray& Output() {
    run_.Output += run_.Process.readAllStandardOutput();
    return run_.Output;
  }
  QProcess& Process() { return run_.Process; }
  quint16 Port() const { return port_; }

  THttpAnswer Request(const QByteArray& method, const QByteArray& path, const QByteArray& body = {},
                      const TLogin& login = {}, const QByteArray& extra = {}) {
    QByteArray raw =
        method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port_) + "\r\n";
    if (!login.Cookie.isEmpty())
      raw += "Cookie: " + login.Cookie + "\r\n";
    if (!login.Token.isEmpty())
      raw += "X-CSRF-Token: " + login.Token + "\r\n";
    if (method == "POST")
      raw +=
          "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
          "\r\n";
    raw += extra + "\r\n" + body;
    return Exchange(port_, raw);
  }
  THttpAnswer Get(const QByteArray& path, const TLogin& login = {}) {
    return Request("GET", path, {}, login);
  }
  THttpAnswer Post(const QByteArray& path, const QByteArray& body, const TLogin& login = {}) {
    return Request("POST", path, body, login);
  }
  TLogin Login(const QByteArray& user, const QByteArray& password = kPassword) {
    const THttpAnswer answer =
        Post("/api/login", R"({"user":")" + user + R"(","password":")" + password + R"("})");
    const QByteArray cookie = answer.Header("Set-Cookie");
    return {cookie.left(cookie.indexOf(';')),
            answer.Json().value(QStringLiteral("token")).toString().toLatin1()};
  }

 private:
  QTemporaryDir home_;
  TStationProcess run_;
  quint16 port_ = 0;
};

}  // namespace tarvok
