#include "gui/beacons/beacon_edit_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/beacons/beacon_editor.h"
#include "gui/beacons/beacon_help_window.h"
#include "gui/dialogs/message_boxes.h"

namespace tarvok {

TBeaconEditDialog::TBeaconEditDialog(TStationRuntime& station, const QString& caption,
                                     const TBeacon& beacon, QWidget* parent)
    : QDialog(parent), editor_(new TBeaconEditor(station, this)) {
  setObjectName(QStringLiteral("frmBeaconEdit"));
  setWindowTitle(caption);
  editor_->Load(&beacon);
  auto* buttons = new QDialogButtonBox(this);
  buttons->setObjectName(QStringLiteral("ButtonsPanel"));
  save_ = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
  save_->setObjectName(QStringLiteral("btnSave"));
  save_->setEnabled(false);
  QPushButton* cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("btnCancel"));
  QPushButton* help = buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
  help->setObjectName(QStringLiteral("HelpButton"));
  connect(save_, &QPushButton::clicked, this, &TBeaconEditDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] { ShowBeaconHelp(this); });
  connect(editor_, &TBeaconEditor::Edited, save_, [this] { save_->setEnabled(true); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(editor_);
  layout->addWidget(buttons);
}

const TBeacon& TBeaconEditDialog::Beacon() const { return *editor_->Beacon(); }

void TBeaconEditDialog::Save() {
  if (Beacon().Name.trimmed().isEmpty()) {
    ShowErrorBox(this, QStringLiteral("The <Beacon Name> field is empty."));
    return;
  }
  accept();
}

}  // namespace tarvok
