#include "web/request_head.h"

#include <QList>

namespace tarvok {

namespace {

bool IsToken(const QByteArray& text) {
  if (text.isEmpty())
    return false;
  for (char c : text) {
    if (c <= ' ' || c >= 127 || c == ':')
      return false;
  }
  return true;
}

}  // namespace

bool TRequestHead::IsWebSocketUpgrade() const {
  return Field("upgrade").trimmed().compare("websocket", Qt::CaseInsensitive) == 0;
}

QByteArray TRequestHead::Cookie(const QByteArray& name) const {
  for (const QByteArray& part : Field("cookie").split(';')) {
    const QByteArray pair = part.trimmed();
    const qsizetype equals = pair.indexOf('=');
    if (equals > 0 && pair.left(equals) == name)
      return pair.mid(equals + 1);
  }
  return {};
}

TRequestHead ReadRequestHead(const QByteArray& bytes) {
  TRequestHead head;
  const qsizetype end = bytes.indexOf("\r\n\r\n");
  if (end < 0) {
    head.Result = bytes.size() > TRequestHead::kMaxHeadBytes ? TRequestHead::TResult::TooLarge
                                                             : TRequestHead::TResult::Incomplete;
    return head;
  }
  head.HeadBytes = end + 4;
  if (head.HeadBytes > TRequestHead::kMaxHeadBytes) {
    head.Result = TRequestHead::TResult::TooLarge;
    return head;
  }
  head.Result = TRequestHead::TResult::Malformed;
  const QList<QByteArray> lines = bytes.left(end).split('\n');
  const QList<QByteArray> request = lines.front().trimmed().split(' ');
  if (request.size() != 3 || !IsToken(request[0]) || !request[1].startsWith('/') ||
      !request[2].startsWith("HTTP/1."))
    return head;
  head.Method = request[0];
  const qsizetype query = request[1].indexOf('?');
  head.Path = query < 0 ? request[1] : request[1].left(query);
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArray line = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || !IsToken(line.left(colon)))
      return head;
    const QByteArray name = line.left(colon).toLower();
    if (!head.Fields.contains(name))
      head.Fields.insert(name, line.mid(colon + 1).trimmed());
  }
  if (head.Fields.contains("content-length")) {
    bool ok = false;
    head.ContentLength = head.Field("content-length").toLongLong(&ok);
    if (!ok || head.ContentLength < 0)
      return head;
  }
  head.Result = TRequestHead::TResult::Complete;
  return head;
}

}  // namespace tarvok
