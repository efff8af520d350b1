// The listening socket handed to Qt's HTTP server. It reads each request's head itself before
// the server's parser sees a byte, and hands a connection on only when its request is whole and
// allowed: bodies over 64 KiB are refused with 413 without being read, a head that takes too long
// or a connection that idles is closed, the number of connections is capped, and a WebSocket
// upgrade is refused (401 or 403) before its handshake unless the check allows it.
#pragma once

#include <QSslConfiguration>
#include <QTcpServer>
#include <functional>
#include <optional>

#include "web/request_head.h"

class QTcpSocket;

namespace tarvok {

class TConnectionGate final : public QTcpServer {
  Q_OBJECT
 public:
  static constexpr qint64 kMaxBodyBytes = 64 * 1024;
  static constexpr int kMaxConnections = 64;
  static constexpr int kHeadTimeoutMs = 10000;
  static constexpr int kIdleTimeoutMs = 5000;
  static constexpr int kDrainMs = 2000;

  // 0 lets the upgrade through, else the status to refuse it with.
  using TUpgradeCheck = std::function<int(const TRequestHead& head, const QTcpSocket& socket)>;

  explicit TConnectionGate(QObject* parent = nullptr);

  // With a configuration, every connection is TLS; a client speaking plain HTTP fails.
  void SetTls(const QSslConfiguration& configuration) { tls_ = configuration; }
  void SetUpgradeCheck(TUpgradeCheck check) { upgradeCheck_ = std::move(check); }
  int OpenConnections() const { return open_; }

 protected:
  void incomingConnection(qintptr handle) override;

 private:
  // watch is the connection's TGateWatch.
  void Inspect(QTcpSocket* socket, QObject* watch);
  void Refuse(QTcpSocket* socket, int status, const QString& text);
  void HandOn(QTcpSocket* socket);

  std::optional<QSslConfiguration> tls_;
  TUpgradeCheck upgradeCheck_;
  int open_ = 0;
};

}  // namespace tarvok
