#include "gui/beacons/beacon_name_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/dialogs/message_boxes.h"

namespace tarvok {

TBeaconNameDialog::TBeaconNameDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmBeaconName"));
  setWindowTitle(QStringLiteral("Event Name"));
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("edName"));
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("btnOK"));
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("btnCancel"));
  connect(ok, &QPushButton::clicked, this, &TBeaconNameDialog::Confirm);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Beacon:"), this));
  layout->addWidget(new QLabel(QStringLiteral("Type a name for this beacon."), this));
  layout->addWidget(name_);
  layout->addWidget(buttons);
}

QString TBeaconNameDialog::Name() const { return name_->text().trimmed(); }

void TBeaconNameDialog::Confirm() {
  if (Name().isEmpty()) {
    ShowErrorBox(this, QStringLiteral("Type a name for this event."));
    return;
  }
  accept();
}

}  // namespace tarvok
