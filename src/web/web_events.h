// The /api/events WebSocket: every snapshot change and log line as it happens, the levels at
// most ten times a second and only while a client is connected, and a heartbeat every 2 s. A
// client whose session ends is closed.
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class QWebSocket;

namespace tarvok {

class TStationLink;

class TWebEvents final : public QObject {
  Q_OBJECT
 public:
  static constexpr int kLevelIntervalMs = 100;
  static constexpr int kHeartbeatIntervalMs = 2000;

  explicit TWebEvents(TStationLink& link, QObject* parent = nullptr);
  ~TWebEvents() override;

  // A socket whose upgrade the gate let through for the session.
  void Accept(std::unique_ptr<QWebSocket> socket, const QByteArray& sessionId);
  void Log(const QString& stampedLine);
  // Closes the clients of sessions that isAlive no longer knows.
  void DropSessions(const std::function<bool(const QByteArray&)>& isAlive);
  int Clients() const { return static_cast<int>(clients_.size()); }

 signals:
  // A client's page is open: its session counts as in use.
  void SessionActive(const QByteArray& sessionId);

 private:
  struct TClient {
    std::unique_ptr<QWebSocket> Socket;
    QByteArray SessionId;
    QByteArray LastSnapshot;
  };

  void SendSnapshot(TClient& client);
  void SendToAll(const QJsonObject& message);
  void Remove(QWebSocket* socket);
  void FollowClientCount();

  TStationLink& link_;
  std::vector<TClient> clients_;
  QTimer levels_;
  QTimer heartbeat_;
};

}  // namespace tarvok
