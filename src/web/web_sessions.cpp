#include "web/web_sessions.h"

#include <sodium.h>

namespace tarvok {

QByteArray RandomToken(int bytes) {
  QByteArray raw(bytes, Qt::Uninitialized);
  randombytes_buf(raw.data(), static_cast<size_t>(raw.size()));
  return raw.toHex();
}

QByteArray TWebSessions::Create(const QString& user) {
  const QByteArray id = RandomToken(32);
  TWebSession& session = sessions_[id];
  session.User = user;
  session.Token = RandomToken(32);
  session.LastUsed.start();
  return id;
}

const TWebSession* TWebSessions::Peek(const QByteArray& id) const {
  const auto found = sessions_.constFind(id);
  if (found == sessions_.cend() || found->LastUsed.elapsed() > kIdleLimitMs)
    return nullptr;
  return &*found;
}

const TWebSession* TWebSessions::Use(const QByteArray& id) {
  const auto found = sessions_.find(id);
  if (found == sessions_.end())
    return nullptr;
  if (found->LastUsed.elapsed() > kIdleLimitMs) {
    sessions_.erase(found);
    return nullptr;
  }
  found->LastUsed.start();
  return &*found;
}

void TWebSessions::End(const QByteArray& id) { sessions_.remove(id); }

void TWebSessions::EndWhere(const std::function<bool(const TWebSession&)>& ends) {
  sessions_.removeIf([&ends](const auto& entry) { return ends(entry.value()); });
}

}  // namespace tarvok
