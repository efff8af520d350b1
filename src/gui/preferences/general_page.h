// The "General" page: the traces' scale, which sound devices are listed, the mode kept over a
// restart, the automatic VOX check, laptop operation and how transfer sizes are shown.
#pragma once

#include "gui/preferences/preferences_page.h"

class QCheckBox;
class QRadioButton;

namespace tarvok {

class TGeneralOptionsPage final : public TPreferencesPage {
  Q_OBJECT
 public:
  TGeneralOptionsPage(const TPreferences& preferences, QWidget* parent = nullptr);
  void Store(TPreferences& preferences) const override;

 private:
  QCheckBox* AddCheck(const QString& name, const QString& caption, bool checked);

  QRadioButton* logarithm_;
  QCheckBox* showVoxOnly_;
  QCheckBox* saveMode_;
  QCheckBox* voxAutoDetect_;
  QCheckBox* laptop_;
  QRadioButton* bytes_;
};

}  // namespace tarvok
