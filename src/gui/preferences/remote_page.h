// The "Remote" page: control through files in a folder, and which folder.
#pragma once

#include "gui/preferences/preferences_page.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tarvok {

class TRemotePage final : public TPreferencesPage {
  Q_OBJECT
 public:
  // defaultFolder is where the folder chooser starts when the stored folder does not exist.
  TRemotePage(const TPreferences& preferences, const QString& defaultFolder,
              QWidget* parent = nullptr);
  void Store(TPreferences& preferences) const override;

 private:
  void EnableFolder();
  void BrowseFolder();

  QString storedFolder_;
  QString defaultFolder_;
  QCheckBox* enabled_;
  QLineEdit* folder_;
  QPushButton* browse_;
};

}  // namespace tarvok
