// Logged-in browsers: a random session id (the cookie) with its user and CSRF token, ended after
// 30 minutes without a request, at logout, or when its user leaves the users file.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <functional>

namespace tarvok {

struct TWebSession {
  QString User;
  QByteArray Token;  // the CSRF token every changing request carries
  QElapsedTimer LastUsed;
};

class TWebSessions {
 public:
  static constexpr qint64 kIdleLimitMs = 30 * 60 * 1000;

  // Returns the new session's id.
  QByteArray Create(const QString& user);
  // The live session of the id, its idle time restarted; null when none.
  const TWebSession* Use(const QByteArray& id);
  // Same, without counting as use.
  const TWebSession* Peek(const QByteArray& id) const;
  void End(const QByteArray& id);
  void EndWhere(const std::function<bool(const TWebSession&)>& ends);

 private:
  QHash<QByteArray, TWebSession> sessions_;
};

// Hexadecimal text of random bytes, for ids and tokens.
QByteArray RandomToken(int bytes);

}  // namespace tarvok
