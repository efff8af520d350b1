#include "gui/preferences/remote_page.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "core/config/preferences.h"

namespace tarvok {

TRemotePage::TRemotePage(const TPreferences& preferences, const QString& defaultFolder,
                         QWidget* parent)
    : TPreferencesPage(parent),
      storedFolder_(preferences.RemotePath),
      defaultFolder_(defaultFolder) {
  setObjectName(QStringLiteral("RemoteSheet"));
  enabled_ = new QCheckBox(QStringLiteral("Enable Remote Control"), this);
  enabled_->setObjectName(QStringLiteral("cboRemoteEnabled"));
  enabled_->setChecked(preferences.RemoteEnabled);
  Watch(enabled_);
  connect(enabled_, &QCheckBox::clicked, this, &TRemotePage::EnableFolder);
  folder_ = new QLineEdit(preferences.RemotePath, this);
  folder_->setObjectName(QStringLiteral("edRemotePath"));
  connect(folder_, &QLineEdit::textEdited, this, &TPreferencesPage::Modified);
  browse_ = new QPushButton(QStringLiteral("..."), this);
  browse_->setObjectName(QStringLiteral("btnRemotePath"));
  browse_->setMaximumWidth(30);
  connect(browse_, &QPushButton::clicked, this, &TRemotePage::BrowseFolder);
  auto* grid = new QGridLayout(this);
  grid->addWidget(enabled_, 0, 0, 1, 2);
  grid->addWidget(folder_, 1, 0);
  grid->addWidget(browse_, 1, 1);
  grid->setRowStretch(2, 1);
  EnableFolder();
}

void TRemotePage::EnableFolder() {
  folder_->setEnabled(enabled_->isChecked());
  browse_->setEnabled(enabled_->isChecked());
}

void TRemotePage::BrowseFolder() {
  const QString start = QFileInfo(storedFolder_).isDir() ? storedFolder_ : defaultFolder_;
  // Qt's own chooser offers a button that makes a new folder.
  const QString folder = QFileDialog::getExistingDirectory(
      this, QString(), start, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (folder.isEmpty())
    return;
  folder_->setText(folder);
  emit Modified();
}

void TRemotePage::Store(TPreferences& preferences) const {
  preferences.RemoteEnabled = enabled_->isChecked();
  preferences.RemotePath = folder_->text();
}

}  // namespace tarvok
