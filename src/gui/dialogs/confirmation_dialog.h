// The message of the trace check with a "Don't show this dialog again" box: the caller reads the
// box after the dialog has closed.
#pragma once

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;

namespace tarvok {

class TConfirmationDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit TConfirmationDialog(QWidget* parent = nullptr);

  void SetMessage(const QString& text);
  bool DontShowAgain() const;

 private:
  QPlainTextEdit* memo_;
  QCheckBox* noDialog_;
};

// Shows message modally and returns whether "Don't show this dialog again" was ticked. Call it
// from a queued call, never from inside a station signal.
bool AskTraceWarning(QWidget* parent, const QString& message);

}  // namespace tarvok
