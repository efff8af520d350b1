// The head of an HTTP request (request line and header fields), read from the bytes a client has
// sent so far, before Qt's parser sees any of them: what the gate needs to refuse a request early.
#pragma once

#include <QByteArray>
#include <QHash>

namespace tarvok {

struct TRequestHead {
  enum class TResult { Incomplete, Complete, TooLarge, Malformed };

  static constexpr qsizetype kMaxHeadBytes = 8 * 1024;

  TResult Result = TResult::Incomplete;
  qsizetype HeadBytes = 0;  // up to and including the blank line
  QByteArray Method;
  QByteArray Path;                       // the target without its query
  QHash<QByteArray, QByteArray> Fields;  // names in lower case; a repeated field keeps its first
  qint64 ContentLength = 0;

  QByteArray Field(const QByteArray& lowerName) const { return Fields.value(lowerName); }
  bool IsWebSocketUpgrade() const;
  // The value of one cookie of the Cookie field, or empty.
  QByteArray Cookie(const QByteArray& name) const;
};

TRequestHead ReadRequestHead(const QByteArray& bytes);

}  // namespace tarvok
