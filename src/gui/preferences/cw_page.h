// The "CW" page: speed, tone frequency and volume of CW, and a text to try them on. The test
// plays at the values on the page; only Save writes them.
#pragma once

#include <functional>

#include "gui/preferences/preferences_page.h"

class QLineEdit;
class QSlider;

namespace tarvok {

class TCWPage final : public TPreferencesPage {
  Q_OBJECT
 public:
  // test sounds a text with the page's current values.
  TCWPage(const TPreferences& preferences, std::function<void(const QString&)> test,
          QWidget* parent = nullptr);
  void Store(TPreferences& preferences) const override;

  int Speed() const;
  int Frequency() const;
  int Volume() const;

 private:
  QLineEdit* speed_;
  QLineEdit* frequency_;
  QLineEdit* testText_;
  QSlider* volume_;
};

}  // namespace tarvok
