#include "core/common/user_messages.h"

namespace tarvok {

void TQueuedMessages::ShowError(const QString& message) {
  QMetaObject::invokeMethod(
      this, [this, message] { sink_.ShowError(message); }, Qt::QueuedConnection);
}

}  // namespace tarvok
