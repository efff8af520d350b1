// The "AGC" page: for each trace, gain control on or off and the wanted level's bounds, shown in
// decibels on the logarithmic scale and in percent on the linear one.
#pragma once

#include <array>

#include "gui/preferences/preferences_page.h"

class QCheckBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace tarvok {

class TAgcPage final : public TPreferencesPage {
  Q_OBJECT
 public:
  TAgcPage(const TPreferences& preferences, QWidget* parent = nullptr);
  void Store(TPreferences& preferences) const override;

 private:
  struct TTraceFields {
    QCheckBox* Enabled = nullptr;
    QSpinBox* Minimum = nullptr;
    QSpinBox* Maximum = nullptr;
    std::array<QLabel*, 2> Units{};
    QRadioButton* Logarithm = nullptr;
    QRadioButton* Linear = nullptr;
  };

  QWidget* CreateTrace(int trace, const TPreferences& preferences);
  // The unit labels and field limits of the scale.
  static void ShowScale(TTraceFields& fields, std::uint8_t scale);
  void SwitchScale(TTraceFields& fields, std::uint8_t scale);
  static void EnableTrace(TTraceFields& fields);
  static std::uint8_t Scale(const TTraceFields& fields);

  std::array<TTraceFields, 2> traces_;
};

}  // namespace tarvok
