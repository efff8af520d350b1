// The "VOX Average" page: the formula that smooths the VOX trace's level.
#pragma once

#include <array>

#include "gui/preferences/preferences_page.h"

class QRadioButton;

namespace tarvok {

class TVoxAveragePage final : public TPreferencesPage {
  Q_OBJECT
 public:
  TVoxAveragePage(const TPreferences& preferences, QWidget* parent = nullptr);
  void Store(TPreferences& preferences) const override;

 private:
  std::array<QRadioButton*, 4> formulas_{};
};

}  // namespace tarvok
