#include "gui/schedule/schedule_edit_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

#include "gui/beacons/beacon_help_window.h"
#include "gui/beacons/expression_edit.h"
#include "gui/dialogs/message_boxes.h"

namespace tarvok {

namespace {

int DurationOf(const QString& text) {
  const qint64 minutes = text.trimmed().toLongLong();
  return static_cast<int>(std::min<qint64>(minutes, std::numeric_limits<int>::max()));
}

}  // namespace

TScheduleEditDialog::TScheduleEditDialog(const QString& caption, const TScheduleEvent& event,
                                         QWidget* parent)
    : QDialog(parent), event_(event) {
  setObjectName(QStringLiteral("frmSchedulerEdit"));
  setWindowTitle(caption);
  auto* grid = new QGridLayout;
  int row = 0;
  auto addRow = [&](const QString& label, QWidget* field) {
    grid->addWidget(new QLabel(label, this), row, 0);
    grid->addWidget(field, row++, 1);
  };
  auto* help = new QAction(this);
  help->setShortcut(Qt::Key_F1);
  help->setShortcutContext(Qt::WidgetShortcut);
  connect(help, &QAction::triggered, this, [this] { ShowBeaconHelp(this); });

  mode_ = new QComboBox(this);
  mode_->setObjectName(QStringLiteral("cboMode"));
  for (const TRepeaterMode mode : {rmInternetRepeater, rmSimplexRepeater, rmBeaconStation})
    mode_->addItem(RepeaterModeText(mode), static_cast<int>(mode));
  mode_->setCurrentIndex(mode_->findData(static_cast<int>(event.Mode)));
  addRow(QStringLiteral("Mode:"), mode_);
  connect(mode_, &QComboBox::activated, this, [this](int index) {
    const int mode = index < 0 ? rmNone : mode_->itemData(index).toInt();
    Store([&](TScheduleEvent& e) { e.Mode = static_cast<TRepeaterMode>(mode); });
  });

  enabled_ = new QCheckBox(QStringLiteral("Enabled"), this);
  enabled_->setObjectName(QStringLiteral("cboEnabled"));
  enabled_->setChecked(event.Enabled);
  grid->addWidget(enabled_, row++, 1);
  connect(enabled_, &QCheckBox::clicked, this, [this](bool on) {
    Store([&](TScheduleEvent& e) { e.Enabled = on; });
    ApplyEnablingRule();
  });

  for (std::size_t i = 0; i < kExpressionFields.size(); ++i) {
    const TExpressionField& field = kExpressionFields[i];
    auto* edit = new TExpressionEdit(TExpressionEdit::TKind::Expression, this);
    edit->setObjectName(QString::fromLatin1(field.Name));
    edit->Show(event.*field.Field);
    edit->addAction(help);
    addRow(QString::fromLatin1(field.Label), edit);
    connect(edit, &TExpressionEdit::ValueEdited, this, [this, &field](const QString& value) {
      Store([&](TScheduleEvent& e) { e.*field.Field = value; });
    });
    expressions_[i] = edit;
  }

  const QString durationHint = QStringLiteral("Event duration in minutes (0 - infinite)");
  duration_ = new TExpressionEdit(TExpressionEdit::TKind::Number, this);
  duration_->setObjectName(QStringLiteral("edDuration"));
  duration_->Show(QString::number(event.Duration));
  duration_->addAction(help);
  connect(duration_, &TExpressionEdit::ValueEdited, this, [this](const QString& text) {
    Store([&](TScheduleEvent& e) { e.Duration = DurationOf(text); });
  });
  auto* minutes = new QLabel(QStringLiteral("minutes"), this);
  minutes->setToolTip(durationHint);
  auto* durationRow = new QHBoxLayout;
  durationRow->addWidget(duration_);
  durationRow->addWidget(minutes);
  grid->addWidget(new QLabel(QStringLiteral("Duration:"), this), row, 0);
  grid->addLayout(durationRow, row++, 1);

  const TEditButtons buttons = AddEditButtons(this, [this] { Save(); });
  save_ = buttons.Save;

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons.Row);
  ApplyEnablingRule();
}

void TScheduleEditDialog::Store(const std::function<void(TScheduleEvent&)>& change) {
  change(event_);
  save_->setEnabled(true);
}

void TScheduleEditDialog::ApplyEnablingRule() {
  for (TExpressionEdit* edit : expressions_)
    edit->setEnabled(enabled_->isChecked());
}

void TScheduleEditDialog::Save() {
  if (event_.Mode == rmNone) {
    ShowErrorBox(this, QStringLiteral("Please select repeater mode."));
    return;
  }
  accept();
}

}  // namespace tarvok
