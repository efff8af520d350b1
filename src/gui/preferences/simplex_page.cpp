#include "gui/preferences/simplex_page.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/config/preferences.h"

namespace tarvok {

namespace {

constexpr qint64 kKBytes = 1024;
constexpr qint64 kMBytes = 1048576;

void AddRow(QGridLayout* grid, int row, const QString& caption, QWidget* field,
            const QString& unit) {
  grid->addWidget(new QLabel(caption), row, 0);
  grid->addWidget(field, row, 1);
  grid->addWidget(new QLabel(unit), row, 2);
}

}  // namespace

TSimplexPage::TSimplexPage(const TPreferences& preferences, const QString& defaultFolder,
                           QWidget* parent)
    : TPreferencesPage(parent), defaultFolder_(defaultFolder) {
  setObjectName(QStringLiteral("SimplexSheet"));
  auto* limit = new QGroupBox(QStringLiteral(" Recording Limit  "), this);
  auto* limitGrid = new QGridLayout(limit);
  recordTime_ = NumberEdit(QStringLiteral("edRecordTime"), preferences.LimitRecordTime);
  recordSize_ = NumberEdit(QStringLiteral("edRecordSize"), preferences.LimitRecordSize / kKBytes);
  AddRow(limitGrid, 0, QStringLiteral("Time:"), recordTime_,
         QStringLiteral("seconds (0 - unlimited)"));
  AddRow(limitGrid, 1, QStringLiteral("File size:"), recordSize_,
         QStringLiteral("KBytes (0 - unlimited)"));
  limitGrid->setColumnStretch(2, 1);

  auto* log = new QGroupBox(QStringLiteral(" Log  "), this);
  auto* logGrid = new QGridLayout(log);
  logEnabled_ = new QCheckBox(QStringLiteral("Enabled"), log);
  logEnabled_->setObjectName(QStringLiteral("cboLogEnabled"));
  logEnabled_->setChecked(preferences.LogEnabled);
  Watch(logEnabled_);
  connect(logEnabled_, &QCheckBox::clicked, this, &TSimplexPage::EnableLogFields);
  logPath_ = new QLineEdit(preferences.LogPath, log);
  logPath_->setObjectName(QStringLiteral("edLogPath"));
  connect(logPath_, &QLineEdit::textEdited, this, &TPreferencesPage::Modified);
  browse_ = new QPushButton(QStringLiteral("..."), log);
  browse_->setObjectName(QStringLiteral("btnLogPath"));
  browse_->setMaximumWidth(30);
  connect(browse_, &QPushButton::clicked, this, &TSimplexPage::BrowseFolder);
  logDays_ = NumberEdit(QStringLiteral("edLogDays"), preferences.LimitLogDays);
  logSize_ = NumberEdit(QStringLiteral("edLogSize"), preferences.LimitLogSize / kMBytes);
  logGrid->addWidget(logEnabled_, 0, 0, 1, 3);
  logGrid->addWidget(new QLabel(QStringLiteral("Path:"), log), 1, 0);
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(logPath_);
  pathRow->addWidget(browse_);
  logGrid->addLayout(pathRow, 1, 1, 1, 2);
  AddRow(logGrid, 2, QStringLiteral("Past:"), logDays_, QStringLiteral("days (0 - unlimited)"));
  AddRow(logGrid, 3, QStringLiteral("Size:"), logSize_, QStringLiteral("MBytes (0 - unlimited)"));
  logGrid->setColumnStretch(2, 1);

  confirmDelete_ = new QCheckBox(QStringLiteral("Display delete confirmation dialog box"), this);
  confirmDelete_->setObjectName(QStringLiteral("cboConfirmDelete"));
  confirmDelete_->setChecked(preferences.ConfirmDelete);
  Watch(confirmDelete_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(limit);
  layout->addWidget(log);
  layout->addWidget(confirmDelete_);
  layout->addStretch();
  EnableLogFields();
}

void TSimplexPage::EnableLogFields() {
  const bool on = logEnabled_->isChecked();
  for (QWidget* field : std::initializer_list<QWidget*>{logPath_, browse_, logDays_, logSize_})
    field->setEnabled(on);
}

void TSimplexPage::BrowseFolder() {
  const QString start = logPath_->text().isEmpty() ? defaultFolder_ : logPath_->text();
  const QString folder = QFileDialog::getExistingDirectory(this, QString(), start);
  if (folder.isEmpty())
    return;
  logPath_->setText(folder);
  emit Modified();
}

void TSimplexPage::Store(TPreferences& preferences) const {
  preferences.LimitRecordTime = static_cast<int>(Number(recordTime_));
  preferences.LimitRecordSize = Number(recordSize_) * kKBytes;
  preferences.LogEnabled = logEnabled_->isChecked();
  preferences.LogPath = logPath_->text();
  preferences.LimitLogDays = static_cast<int>(Number(logDays_));
  preferences.LimitLogSize = Number(logSize_) * kMBytes;
  preferences.ConfirmDelete = confirmDelete_->isChecked();
}

}  // namespace tarvok
