#include "web/login_limiter.h"

namespace tarvok {

bool TLoginLimiter::Locked(const QString& address, const QString& name) const {
  return IsLocked(byAddress_, address) || IsLocked(byName_, name);
}

void TLoginLimiter::Failed(const QString& address, const QString& name) {
  Count(byAddress_, address);
  Count(byName_, name);
}

bool TLoginLimiter::IsLocked(const QHash<QString, TRecord>& records, const QString& key) const {
  const auto found = records.constFind(key);
  return found != records.cend() && found->LockedUntil > clock_.elapsed();
}

void TLoginLimiter::Count(QHash<QString, TRecord>& records, const QString& key) {
  const qint64 now = clock_.elapsed();
  // Old entries go, so that a scan of many names or addresses leaves no growing table behind.
  records.removeIf([now](const auto& entry) {
    return entry.value().LockedUntil <= now &&
           (entry.value().Failures.isEmpty() || entry.value().Failures.back() < now - kWindowMs);
  });
  TRecord& record = records[key];
  record.Failures.removeIf([now](qint64 time) { return time < now - kWindowMs; });
  record.Failures.append(now);
  if (record.Failures.size() >= kMaxFailures) {
    record.LockedUntil = now + kLockMs;
    record.Failures.clear();
  }
}

}  // namespace tarvok
