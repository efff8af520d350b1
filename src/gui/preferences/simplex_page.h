// The "Simplex" page: the limits of one recording, the limits and folder of the recordings log,
// and whether deleting a recording asks first.
#pragma once

#include "gui/preferences/preferences_page.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tarvok {

class TSimplexPage final : public TPreferencesPage {
  Q_OBJECT
 public:
  // defaultFolder is where the folder chooser starts when the path is empty.
  TSimplexPage(const TPreferences& preferences, const QString& defaultFolder,
               QWidget* parent = nullptr);
  void Store(TPreferences& preferences) const override;

 private:
  void EnableLogFields();
  void BrowseFolder();

  QString defaultFolder_;
  QLineEdit* recordTime_;
  QLineEdit* recordSize_;
  QCheckBox* logEnabled_;
  QLineEdit* logPath_;
  QPushButton* browse_;
  QLineEdit* logDays_;
  QLineEdit* logSize_;
  QCheckBox* confirmDelete_;
};

}  // namespace tarvok
