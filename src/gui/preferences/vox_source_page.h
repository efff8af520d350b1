// The "VOX Source" page: which trace's signal drives the VOX in each operating mode.
#pragma once

#include <array>

#include "gui/preferences/preferences_page.h"

class QRadioButton;

namespace tarvok {

class TVoxSourcePage final : public TPreferencesPage {
  Q_OBJECT
 public:
  TVoxSourcePage(const TPreferences& preferences, QWidget* parent = nullptr);
  void Store(TPreferences& preferences) const override;

 private:
  // By mode 1 to 3: the upper and the lower trace's button.
  std::array<std::array<QRadioButton*, 2>, 4> sources_{};
};

}  // namespace tarvok
