// How the core tells the user about a failure that needs their attention: the desktop window shows
// a message box, the headless station prints the text.
#pragma once

#include <QString>

namespace tarvok {

class TUserMessages {
 public:
  virtual ~TUserMessages() = default;
  virtual void ShowError(const QString& message) = 0;
};

}  // namespace tarvok
