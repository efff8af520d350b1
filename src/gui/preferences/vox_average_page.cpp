#include "gui/preferences/vox_average_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/config/preferences.h"

namespace tarvok {

TVoxAveragePage::TVoxAveragePage(const TPreferences& preferences, QWidget* parent)
    : TPreferencesPage(parent) {
  setObjectName(QStringLiteral("AverageSheet"));
  struct TFormula {
    const char* Name;
    const char* Caption;
    const char* Text;
  };
  static constexpr std::array<TFormula, 4> kFormulas{{
      {"rboAverage", "Average", "Avr = (Avr + Level) / 2"},
      {"rboMaximum", "Maximum", "Avr = (Avr<Level) ? Level : (Avr + Level) / 2"},
      {"rboMinimum", "Minimum", "Avr = (Avr>Level) ? Level : (Avr + Level) / 2"},
      {"rboExtended", "Extended", "Avr = !isRecording ? Maximum : Minimum"},
  }};
  auto* group = new QGroupBox(QStringLiteral(" Average Formula "), this);
  auto* grid = new QGridLayout(group);
  for (std::size_t i = 0; i < kFormulas.size(); ++i) {
    formulas_[i] = new QRadioButton(QString::fromLatin1(kFormulas[i].Caption), group);
    formulas_[i]->setObjectName(QString::fromLatin1(kFormulas[i].Name));
    formulas_[i]->setChecked(static_cast<int>(i) == preferences.Average);
    Watch(formulas_[i]);
    grid->addWidget(formulas_[i], static_cast<int>(i), 0);
    grid->addWidget(new QLabel(QString::fromLatin1(kFormulas[i].Text), group), static_cast<int>(i),
                    1);
  }
  grid->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addStretch();
}

void TVoxAveragePage::Store(TPreferences& preferences) const {
  for (std::size_t i = 0; i < formulas_.size(); ++i) {
    if (formulas_[i]->isChecked())
      preferences.Average = static_cast<int>(i);
  }
}

}  // namespace tarvok
