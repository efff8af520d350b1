#include "gui/beacons/beacon_edit_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/station/station_runtime.h"
#include "gui/beacons/beacon_editor.h"
#include "gui/beacons/beacon_help_window.h"
#include "gui/dialogs/message_boxes.h"

namespace tarvok {

TBeaconEditDialog::TBeaconEditDialog(TStationRuntime& station, const QString& caption,
                                     const TBeacon& beacon, QWidget* parent)
    : QDialog(parent),
      // The beacon list's editor plays the file alone.
      editor_(new TBeaconEditor(
          station,
          [&station](const QString& file, const QString&) { return station.Preview(file); },
          this)) {
  setObjectName(QStringLiteral("frmBeaconEdit"));
  setWindowTitle(caption);
  editor_->Load(&beacon);
  const TEditButtons buttons = AddEditButtons(this, [this] { Save(); });
  save_ = buttons.Save;
  connect(editor_, &TBeaconEditor::Edited, save_, [this] { save_->setEnabled(true); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(editor_);
  layout->addWidget(buttons.Row);
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
