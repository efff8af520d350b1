// Failed logins counted per address and per name: the fifth within a minute locks that address
// or name out for 60 seconds. X-Forwarded-For is never read, so a client cannot choose its address.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>

namespace tarvok {

class TLoginLimiter {
 public:
  static constexpr int kMaxFailures = 5;
  static constexpr qint64 kWindowMs = 60 * 1000;
  static constexpr qint64 kLockMs = 60 * 1000;

  TLoginLimiter() { clock_.start(); }

  bool Locked(const QString& address, const QString& name) const;
  void Failed(const QString& address, const QString& name);

 private:
  struct TRecord {
    QList<qint64> Failures;  // times within the window
    qint64 LockedUntil = -1;
  };
  bool IsLocked(const QHash<QString, TRecord>& records, const QString& key) const;
  void Count(QHash<QString, TRecord>& records, const QString& key);

  QElapsedTimer clock_;
  QHash<QString, TRecord> byAddress_;
  QHash<QString, TRecord> byName_;
};

}  // namespace tarvok
