#include "web/http_reply.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <memory>

namespace tarvok {

namespace {

QByteArray ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 409:
      return "Conflict";
    case 411:
      return "Length Required";
    case 413:
      return "Content Too Large";
    case 429:
      return "Too Many Requests";
    case 431:
      return "Request Header Fields Too Large";
    case 503:
      return "Service Unavailable";
    default:
      return "Error";
  }
}

QByteArray Head(int status, const QByteArray& contentType, qint64 length,
                const THeaderList& headers) {
  QByteArray reply = "HTTP/1.1 " + QByteArray::number(status) + ' ' + ReasonPhrase(status) +
                     "\r\nContent-Type: " + contentType +
                     "\r\nContent-Length: " + QByteArray::number(length) +
                     "\r\nConnection: close"
                     "\r\nCache-Control: no-store"
                     "\r\nX-Content-Type-Options: nosniff"
                     "\r\nX-Frame-Options: DENY"
                     "\r\nReferrer-Policy: no-referrer"
                     "\r\nContent-Security-Policy: default-src 'self'; script-src 'self'; "
                     "style-src 'self'; img-src 'self'; media-src 'self'; connect-src 'self'; "
                     "object-src 'none'; base-uri 'none'; frame-ancestors 'none'; "
                     "form-action 'self'\r\n";
  for (const auto& [name, value] : headers)
    reply += name + ": " + value + "\r\n";
  reply += "\r\n";
  return reply;
}

}  // namespace

void SendReply(QTcpSocket& socket, int status, const QByteArray& contentType,
               const QByteArray& body, const THeaderList& headers) {
  socket.write(Head(status, contentType, body.size(), headers));
  socket.write(body);
  socket.disconnectFromHost();
}

void SendFile(QTcpSocket& socket, const QString& path, const QByteArray& contentType,
              const THeaderList& headers) {
  auto file = std::make_shared<QFile>(path);
  if (!file->open(QIODevice::ReadOnly)) {
    SendError(socket, 404, QStringLiteral("No such recording"));
    return;
  }
  socket.write(Head(200, contentType, file->size(), headers));
  constexpr qint64 kPiece = 64 * 1024;
  auto feed = [&socket, file] {
    if (socket.bytesToWrite() > kPiece)
      return;
    if (file->atEnd()) {
      QObject::disconnect(&socket, &QTcpSocket::bytesWritten, nullptr, nullptr);
      socket.disconnectFromHost();
      return;
    }
    socket.write(file->read(kPiece));
  };
  QObject::connect(&socket, &QTcpSocket::bytesWritten, &socket, feed);
  feed();
}

QByteArray ErrorReply(int status, const QString& text) {
  const QByteArray body =
      QJsonDocument(QJsonObject{{QStringLiteral("error"), text}}).toJson(QJsonDocument::Compact);
  return Head(status, "application/json", body.size(), {}) + body;
}

void SendJson(QTcpSocket& socket, int status, const QJsonObject& body, const THeaderList& headers) {
  SendReply(socket, status, "application/json", QJsonDocument(body).toJson(QJsonDocument::Compact),
            headers);
}

void SendError(QTcpSocket& socket, int status, const QString& text) {
  SendJson(socket, status, QJsonObject{{QStringLiteral("error"), text}});
}

}  // namespace tarvok
