// How the core tells the user about a failure that needs their attention: the desktop window shows
// a message box, the headless station prints the text. Showing never blocks the caller, which may
// be in the middle of keying the transmitter or of a mode change.
#pragma once

#include <QObject>
#include <QString>

namespace tarvok {

class TUserMessages {
 public:
  virtual ~TUserMessages() = default;
  virtual void ShowError(const QString& message) = 0;
};

// Hands each message to another sink from the event loop, after the caller has returned: a sink
// that waits for the user (a modal box) then never runs inside a station transition.
class TQueuedMessages final : public QObject, public TUserMessages {
  Q_OBJECT
 public:
  explicit TQueuedMessages(TUserMessages& sink, QObject* parent = nullptr)
      : QObject(parent), sink_(sink) {}

  void ShowError(const QString& message) override;

 private:
  TUserMessages& sink_;
};

}  // namespace tarvok
