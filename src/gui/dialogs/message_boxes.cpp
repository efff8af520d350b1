#include "gui/dialogs/message_boxes.h"

#include <QMessageBox>

#include "gui/window_style.h"

namespace tarvok {

namespace {

QMessageBox* OpenBox(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                     QMessageBox::StandardButtons buttons) {
  auto* box = new QMessageBox(icon, QString::fromLatin1(kApplicationName), text, buttons, parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
  return box;
}

}  // namespace

void ShowErrorBox(QWidget* parent, const QString& text) {
  OpenBox(parent, QMessageBox::Critical, text, QMessageBox::Ok)->open();
}

void AskYesNo(QWidget* parent, const QString& text, std::function<void()> onYes) {
  QMessageBox* box =
      OpenBox(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No);
  QObject::connect(box, &QMessageBox::finished, box, [onYes = std::move(onYes)](int result) {
    if (result == QMessageBox::Yes)
      onYes();
  });
  box->open();
}

void AskDeleteEvent(QWidget* parent, const QString& name, std::function<void()> onYes) {
  AskYesNo(parent, QStringLiteral("Are you sure you want to delete\n\"%1\"\nevent?").arg(name),
           std::move(onYes));
}

}  // namespace tarvok
