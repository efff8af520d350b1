// Messages for the user of the headless station go to standard error.
#pragma once

#include "core/common/user_messages.h"

namespace tarvok {

class TConsoleMessages final : public TUserMessages {
 public:
  void ShowError(const QString& message) override;
};

}  // namespace tarvok
