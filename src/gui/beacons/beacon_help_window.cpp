#include "gui/beacons/beacon_help_window.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvok {

namespace {

const char* const kHelpText =
    "Each beacon or schedule event runs at the minutes that all five of its fields match:\n"
    "\n"
    "  Minutes - valid range ['*', '0'..'59']  ( * - means - each minute)\n"
    "  Hours - valid range ['*', '0'..'23']  ( * - means - each hour)\n"
    "  Days - valid range ['*', '1'..'31']  ( * - means - each day)\n"
    "  Months - valid range ['*', '1'..'12']  ( * - means - each month)\n"
    "  Week Days - valid range ['*', '0'..'6']  (0 - Sunday, 1 - Monday, ... 6 - Saturday)\n"
    "\n"
    "A field may list several values, separated by ',', and ranges of values, written with "
    "'-':\n"
    "   minutes = 0-3,8,10  - means each 0,1,2,3,8,10 minute\n"
    "\n"
    "The order of the values does not matter, but a range must run upwards: 1-3 means 1,2,3, "
    "while 3-1 matches nothing.\n"
    "\n"
    "Examples:\n"
    "\n"
    "Run at 12:01 on 14 January:\n"
    "   Minutes = 1, Hours = 12, Days = 14, Months = 1, Week Days = *\n"
    "\n"
    "Run each hour from 8:01 to 12:01 on Sunday and Saturday:\n"
    "   Minutes = 1, Hours = 8-12, Days = *, Months = *, Week Days = 0,6\n";

}  // namespace

TBeaconHelpWindow::TBeaconHelpWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmBeaconHelp"));
  setWindowTitle(QStringLiteral("Beacon Scheduling Help"));
  auto* memo = new QPlainTextEdit(QString::fromLatin1(kHelpText), this);
  memo->setObjectName(QStringLiteral("Memo"));
  memo->setReadOnly(true);
  memo->setMinimumSize(520, 340);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::AcceptRole);
  close->setObjectName(QStringLiteral("btnClose"));
  close->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memo);
  layout->addWidget(buttons);
}

void ShowBeaconHelp(QWidget* parent) {
  auto* window = new TBeaconHelpWindow(parent);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->open();
}

TEditButtons AddEditButtons(QDialog* dialog, const std::function<void()>& onSave) {
  auto* row = new QDialogButtonBox(dialog);
  row->setObjectName(QStringLiteral("ButtonsPanel"));
  QPushButton* save = row->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
  save->setObjectName(QStringLiteral("btnSave"));
  save->setEnabled(false);
  QPushButton* cancel = row->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("btnCancel"));
  QPushButton* help = row->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
  help->setObjectName(QStringLiteral("HelpButton"));
  QObject::connect(save, &QPushButton::clicked, dialog, onSave);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  QObject::connect(help, &QPushButton::clicked, dialog, [dialog] { ShowBeaconHelp(dialog); });
  return {row, save};
}

}  // namespace tarvok
