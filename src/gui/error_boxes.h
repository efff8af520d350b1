// The window's way of telling the user about a failure: each message in a box of its own that
// does not hold the window, one box at a time. A message that is on screen or waiting already is
// not stacked a second time; the others wait until the box before them is closed.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include "core/common/user_messages.h"

class QMessageBox;
class QWidget;

namespace tarvok {

class TErrorBoxes final : public QObject, public TUserMessages {
  Q_OBJECT
 public:
  // The boxes are centred on parent, which may be null.
  explicit TErrorBoxes(QWidget* parent = nullptr);
  ~TErrorBoxes() override;

  // Returns at once; call on the main thread (the station's messages arrive queued there).
  void ShowError(const QString& message) override;

 private:
  void ShowNext();

  QPointer<QWidget> parent_;
  QPointer<QMessageBox> box_;
  QStringList waiting_;
};

}  // namespace tarvok
