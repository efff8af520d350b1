// The console's JSON API and the page's files: every request checked for a session, a role and,
// when it changes anything, the CSRF token, before it reaches the station; bad input answered
// with 400 and nothing changed; every change logged with the user's name.
#pragma once

#include <QObject>
#include <QStringList>
#include <map>

#include "web/login_limiter.h"
#include "web/password_checker.h"
#include "web/web_sessions.h"
#include "web/web_users.h"

class QHttpServerRequest;
class QTcpSocket;

namespace tarvok {

class TOperatorLog;
class TStationLink;
class TWebEvents;
struct TRequestHead;

class TWebApi final : public QObject {
  Q_OBJECT
 public:
  static constexpr int kMaxLogLines = 1000;
  static constexpr const char* kSessionCookie = "tarvok_session";

  TWebApi(TStationLink& link, TOperatorLog& log, TWebEvents& events, QString usersFile, bool https,
          QObject* parent = nullptr);

  void Handle(const QHttpServerRequest& request, QTcpSocket& socket);
  // For the gate: 0 when the upgrade to /api/events may go on, else the status refusing it.
  // sessionId is the session it belongs to.
  int CheckUpgrade(const TRequestHead& head, QByteArray& sessionId);
  // The users file changed: a removed user's sessions end now, a role applies from now on.
  void ReloadUsers();
  bool HasUsers() const { return !users_.empty(); }
  void KeepSessionAlive(const QByteArray& sessionId) { sessions_.Use(sessionId); }

 private:
  struct TCaller;

  void Login(const QHttpServerRequest& request, QTcpSocket& socket);
  void Route(const QHttpServerRequest& request, QTcpSocket& socket, const TCaller& caller);
  void ServeRecordings(const QString& rest, bool isPost, QTcpSocket& socket, const TCaller& caller);
  void Change(QTcpSocket& socket, const TCaller& caller, const QString& refusal,
              const QString& done);
  void KeepLine(const QString& line);

  TStationLink& link_;
  TOperatorLog& log_;
  TWebEvents& events_;
  QString usersFile_;
  bool https_;
  std::map<QString, TWebUser> users_;
  TWebSessions sessions_;
  TLoginLimiter limiter_;
  TPasswordChecker checker_;
  QStringList lines_;
};

}  // namespace tarvok
