#include "gui/dialogs/confirmation_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvok {

TConfirmationDialog::TConfirmationDialog(QWidget* parent)
    : QDialog(parent),
      memo_(new QPlainTextEdit(this)),
      noDialog_(new QCheckBox(QStringLiteral("Don't show this dialog again"), this)) {
  setWindowTitle(QStringLiteral("Confirmation"));
  memo_->setObjectName(QStringLiteral("Memo"));
  memo_->setReadOnly(true);
  memo_->setFrameShape(QFrame::NoFrame);
  // The message reads as part of the dialog, not as a field to edit.
  memo_->setBackgroundRole(QPalette::Window);
  memo_->viewport()->setBackgroundRole(QPalette::Window);
  memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo_->setFixedSize(400, 110);
  noDialog_->setObjectName(QStringLiteral("cboNoDialog"));

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("btnOK"));
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memo_);
  layout->addWidget(noDialog_);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TConfirmationDialog::SetMessage(const QString& text) { memo_->setPlainText(text); }

bool TConfirmationDialog::DontShowAgain() const { return noDialog_->isChecked(); }

bool AskTraceWarning(QWidget* parent, const QString& message) {
  // On the heap: a parent that closes while the dialog is open frees it.
  QPointer<TConfirmationDialog> dialog = new TConfirmationDialog(parent);
  dialog->SetMessage(message);
  dialog->exec();
  if (!dialog)
    return false;
  const bool ticked = dialog->DontShowAgain();
  delete dialog.data();
  return ticked;
}

}  // namespace tarvok
