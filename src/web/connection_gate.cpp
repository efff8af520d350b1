#include "web/connection_gate.h"

#include <QElapsedTimer>
#include <QSslSocket>
#include <QTimer>

#include "web/http_reply.h"

namespace tarvok {

namespace {

// A connection's clocks until it is handed on: since it opened, and since it last sent something.
class TGateWatch final : public QObject {
 public:
  explicit TGateWatch(QTcpSocket* socket) : QObject(socket) {
    opened_.start();
    lastData_.start();
    timer_.setInterval(500);
    connect(&timer_, &QTimer::timeout, this, [this, socket] {
      if (opened_.elapsed() > TConnectionGate::kHeadTimeoutMs ||
          lastData_.elapsed() > TConnectionGate::kIdleTimeoutMs) {
        timer_.stop();
        socket->abort();
        socket->deleteLater();
      }
    });
    timer_.start();
  }
  void DataArrived() { lastData_.start(); }
  void Stop() { timer_.stop(); }

 private:
  QElapsedTimer opened_;
  QElapsedTimer lastData_;
  QTimer timer_;
};

}  // namespace

TConnectionGate::TConnectionGate(QObject* parent) : QTcpServer(parent) {}

void TConnectionGate::incomingConnection(qintptr handle) {
  QTcpSocket* socket = nullptr;
  if (tls_) {
    auto* secure = new QSslSocket(this);
    secure->setSslConfiguration(*tls_);
    socket = secure;
  } else {
    socket = new QTcpSocket(this);
  }
  if (!socket->setSocketDescriptor(handle)) {
    delete socket;
    return;
  }
  ++open_;
  connect(socket, &QObject::destroyed, this, [this] { --open_; });
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  if (open_ > kMaxConnections) {
    // Not worth a TLS handshake: the client is told nothing and tries later.
    if (tls_)
      socket->abort();
    else
      SendError(*socket, 503, QStringLiteral("Too many connections"));
    socket->deleteLater();
    return;
  }
  // Memory per connection stays bounded whatever a client sends.
  socket->setReadBufferSize(TRequestHead::kMaxHeadBytes + kMaxBodyBytes);
  auto* watch = new TGateWatch(socket);
  connect(socket, &QTcpSocket::readyRead, this, [this, socket, watch] {
    watch->DataArrived();
    Inspect(socket, watch);
  });
  if (auto* secure = qobject_cast<QSslSocket*>(socket)) {
    connect(secure, &QSslSocket::sslErrors, secure, [secure] { secure->abort(); });
    connect(secure, &QAbstractSocket::errorOccurred, secure, [secure] { secure->abort(); });
    secure->startServerEncryption();
  }
}

void TConnectionGate::Inspect(QTcpSocket* socket, QObject* watchObject) {
  auto* watch = static_cast<TGateWatch*>(watchObject);
  const QByteArray seen = socket->peek(socket->bytesAvailable());
  const TRequestHead head = ReadRequestHead(seen);
  switch (head.Result) {
    case TRequestHead::TResult::Incomplete:
      return;
    case TRequestHead::TResult::TooLarge:
      watch->Stop();
      return Refuse(socket, 431, QStringLiteral("The request head is too large"));
    case TRequestHead::TResult::Malformed:
      watch->Stop();
      return Refuse(socket, 400, QStringLiteral("The request is malformed"));
    case TRequestHead::TResult::Complete:
      break;
  }
  disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
  auto refuse = [this, socket, watch](int status, const QString& text) {
    watch->Stop();
    Refuse(socket, status, text);
  };
  if (head.Fields.contains("transfer-encoding"))
    return refuse(411, QStringLiteral("A body needs a Content-Length"));
  if (head.ContentLength > kMaxBodyBytes)
    return refuse(413, QStringLiteral("The body is larger than 64 KiB"));
  if (head.IsWebSocketUpgrade()) {
    const int status = upgradeCheck_ ? upgradeCheck_(head, *socket) : 403;
    if (status != 0)
      return refuse(status, status == 401 ? QStringLiteral("Log in first")
                                          : QStringLiteral("The upgrade is not allowed"));
  }
  if (seen.size() < head.HeadBytes + head.ContentLength) {
    // The rest of the body is still on its way.
    const qint64 whole = head.HeadBytes + head.ContentLength;
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, watch, whole] {
      watch->DataArrived();
      if (socket->bytesAvailable() >= whole) {
        disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
        watch->Stop();
        HandOn(socket);
      }
    });
    return;
  }
  watch->Stop();
  HandOn(socket);
}

void TConnectionGate::Refuse(QTcpSocket* socket, int status, const QString& text) {
  disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
  socket->write(ErrorReply(status, text));
  // Closing with the client's bytes unread would reset the connection and could lose the answer
  // on its way: what still comes is read and dropped for a moment, never kept.
  auto drop = [socket] { socket->skip(socket->bytesAvailable()); };
  drop();
  connect(socket, &QTcpSocket::readyRead, socket, drop);
  QTimer::singleShot(kDrainMs, socket, [socket] {
    socket->abort();
    socket->deleteLater();
  });
}

void TConnectionGate::HandOn(QTcpSocket* socket) {
  addPendingConnection(socket);
  if (hasPendingConnections())
    emit newConnection();
  // What the gate peeked at is still unread: the server's parser is woken for it.
  QMetaObject::invokeMethod(
      socket, [socket] { emit socket->readyRead(); }, Qt::QueuedConnection);
}

}  // namespace tarvok
