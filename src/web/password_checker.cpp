#include "web/password_checker.h"

#include "web/web_users.h"

namespace tarvok {

TPasswordChecker::TPasswordChecker() { pool_.setMaxThreadCount(1); }

TPasswordChecker::~TPasswordChecker() { pool_.waitForDone(); }

void TPasswordChecker::Check(const QByteArray& hash, const QByteArray& password, QObject* context,
                             std::function<void(bool)> done) {
  const bool known = !hash.isEmpty();
  pool_.start([this, hash, password, known, context, done = std::move(done)] {
    if (!known && decoy_.isEmpty())
      decoy_ = TWebUsers::HashPassword("decoy");
    const bool ok = TWebUsers::Verify(known ? hash : decoy_, password) && known;
    QMetaObject::invokeMethod(
        context, [done, ok] { done(ok); }, Qt::QueuedConnection);
  });
}

}  // namespace tarvok
