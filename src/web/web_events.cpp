#include "web/web_events.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QWebSocket>

#include "web/station_link.h"

namespace tarvok {

namespace {

QString Text(const QJsonObject& message) {
  return QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
}

}  // namespace

TWebEvents::TWebEvents(TStationLink& link, QObject* parent) : QObject(parent), link_(link) {
  levels_.setInterval(kLevelIntervalMs);
  heartbeat_.setInterval(kHeartbeatIntervalMs);
  connect(&levels_, &QTimer::timeout, this, [this] {
    SendToAll({{QStringLiteral("type"), QStringLiteral("levels")},
               {QStringLiteral("levels"), link_.Levels()}});
  });
  connect(&heartbeat_, &QTimer::timeout, this, [this] {
    SendToAll({{QStringLiteral("type"), QStringLiteral("heartbeat")},
               {QStringLiteral("time"), QDateTime::currentMSecsSinceEpoch()}});
    for (const TClient& client : clients_)
      emit SessionActive(client.SessionId);
  });
  connect(&link_, &TStationLink::SnapshotChanged, this, [this] {
    for (TClient& client : clients_)
      SendSnapshot(client);
  });
}

TWebEvents::~TWebEvents() = default;

void TWebEvents::Accept(std::unique_ptr<QWebSocket> socket, const QByteArray& sessionId) {
  QWebSocket* raw = socket.get();
  // The page sends nothing; whatever a client sends is read and dropped, a little at a time.
  raw->setMaxAllowedIncomingMessageSize(4096);
  connect(raw, &QWebSocket::disconnected, this, [this, raw] { Remove(raw); });
  clients_.push_back({std::move(socket), sessionId, {}});
  SendSnapshot(clients_.back());
  raw->sendTextMessage(Text({{QStringLiteral("type"), QStringLiteral("levels")},
                             {QStringLiteral("levels"), link_.Levels()}}));
  FollowClientCount();
}

void TWebEvents::Log(const QString& stampedLine) {
  SendToAll(
      {{QStringLiteral("type"), QStringLiteral("log")}, {QStringLiteral("line"), stampedLine}});
}

void TWebEvents::DropSessions(const std::function<bool(const QByteArray&)>& isAlive) {
  for (TClient& client : clients_) {
    if (!isAlive(client.SessionId))
      client.Socket->close(QWebSocketProtocol::CloseCodePolicyViolated,
                           QStringLiteral("The session has ended"));
  }
}

void TWebEvents::SendSnapshot(TClient& client) {
  const QByteArray snapshot = QJsonDocument(link_.Snapshot()).toJson(QJsonDocument::Compact);
  if (snapshot == client.LastSnapshot)
    return;
  client.LastSnapshot = snapshot;
  client.Socket->sendTextMessage(QStringLiteral("{\"type\":\"snapshot\",\"snapshot\":") +
                                 QString::fromUtf8(snapshot) + QLatin1Char('}'));
}

void TWebEvents::SendToAll(const QJsonObject& message) {
  if (clients_.empty())
    return;
  const QString text = Text(message);
  for (const TClient& client : clients_)
    client.Socket->sendTextMessage(text);
}

void TWebEvents::Remove(QWebSocket* socket) {
  for (auto it = clients_.begin(); it != clients_.end(); ++it) {
    if (it->Socket.get() == socket) {
      it->Socket.release()->deleteLater();
      clients_.erase(it);
      break;
    }
  }
  FollowClientCount();
}

void TWebEvents::FollowClientCount() {
  // An idle station with no page open is woken by nobody.
  if (clients_.empty()) {
    levels_.stop();
    heartbeat_.stop();
  } else if (!levels_.isActive()) {
    levels_.start();
    heartbeat_.start();
  }
}

}  // namespace tarvok
