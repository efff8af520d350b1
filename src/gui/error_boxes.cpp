#include "gui/error_boxes.h"

#include <QMessageBox>

#include "gui/window_style.h"

namespace tarvok {

TErrorBoxes::TErrorBoxes(QWidget* parent) : parent_(parent) {}

TErrorBoxes::~TErrorBoxes() { delete box_.data(); }

void TErrorBoxes::ShowError(const QString& message) {
  if ((box_ && box_->text() == message) || waiting_.contains(message))
    return;
  waiting_.append(message);
  if (!box_)
    ShowNext();
}

void TErrorBoxes::ShowNext() {
  if (waiting_.isEmpty())
    return;
  auto* box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(kApplicationName),
                              waiting_.takeFirst(), QMessageBox::Ok, parent_);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  connect(box, &QMessageBox::finished, this, [this, box] {
    if (box_ == box) {
      box_.clear();
      ShowNext();
    }
  });
  box_ = box;
  box->show();
}

}  // namespace tarvok
