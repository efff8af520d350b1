// Answers written straight to the connection, one request per connection: the status, the
// console's security headers, the body, then the connection is closed once it is sent.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

class QJsonObject;
class QString;
class QTcpSocket;

namespace tarvok {

using THeaderList = QList<QPair<QByteArray, QByteArray>>;

// The whole answer as bytes, for a caller that closes the connection itself.
QByteArray ErrorReply(int status, const QString& text);
void SendReply(QTcpSocket& socket, int status, const QByteArray& contentType,
               const QByteArray& body, const THeaderList& headers = {});
void SendJson(QTcpSocket& socket, int status, const QJsonObject& body,
              const THeaderList& headers = {});
// The file's bytes, read and sent a piece at a time as the client takes them.
void SendFile(QTcpSocket& socket, const QString& path, const QByteArray& contentType,
              const THeaderList& headers = {});
// {"error": text}
void SendError(QTcpSocket& socket, int status, const QString& text);

}  // namespace tarvok
