// Password checks on a thread of their own, one at a time: a burst of logins queues here and
// never holds up the station's event loop.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QThreadPool>
#include <functional>

namespace tarvok {

class TPasswordChecker {
 public:
  TPasswordChecker();
  ~TPasswordChecker();

  // done runs on context's thread, unless context is gone by then. An empty hash (no such user)
  // still costs a check, so a name's existence does not show in the answer's time.
  void Check(const QByteArray& hash, const QByteArray& password, QObject* context,
             std::function<void(bool)> done);

 private:
  QThreadPool pool_;
  QByteArray decoy_;
};

}  // namespace tarvok
