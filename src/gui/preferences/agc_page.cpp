#include "gui/preferences/agc_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/config/preferences.h"

namespace tarvok {

TAgcPage::TAgcPage(const TPreferences& preferences, QWidget* parent) : TPreferencesPage(parent) {
  setObjectName(QStringLiteral("AGCSheet"));
  auto* group = new QGroupBox(QStringLiteral(" Automatic Gain Control  "), this);
  auto* column = new QVBoxLayout(group);
  for (int trace = 0; trace < 2; ++trace)
    column->addWidget(CreateTrace(trace, preferences));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addStretch();
}

QWidget* TAgcPage::CreateTrace(int trace, const TPreferences& preferences) {
  const QString name = trace == 0 ? QStringLiteral("Upper") : QStringLiteral("Lower");
  const TAgcPreferences& agc = preferences.Agc[trace];
  TTraceFields& fields = traces_[trace];
  auto* box = new QWidget(this);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  fields.Enabled = new QCheckBox(QStringLiteral("Enable %1 Trace Gain Control").arg(name), box);
  fields.Enabled->setObjectName(QStringLiteral("cbo%1AGC").arg(name));
  fields.Enabled->setChecked(agc.Enabled);
  Watch(fields.Enabled);
  connect(fields.Enabled, &QCheckBox::clicked, this, [&fields] { EnableTrace(fields); });
  grid->addWidget(fields.Enabled, 0, 0, 1, 4);

  const std::array<const char*, 2> bounds{"Minimum", "Maximum"};
  const std::array<double, 2> percents{agc.Minimum, agc.Maximum};
  for (int i = 0; i < 2; ++i) {
    auto* spin = new QSpinBox(box);
    spin->setObjectName(QStringLiteral("ed%1%2").arg(name, QLatin1String(bounds[i])));
    fields.Units[i] = new QLabel(box);
    (i == 0 ? fields.Minimum : fields.Maximum) = spin;
    grid->addWidget(
        new QLabel(QStringLiteral("%1 Trace %2 audio:").arg(name, QLatin1String(bounds[i])), box),
        i + 1, 0);
    grid->addWidget(spin, i + 1, 1);
    grid->addWidget(fields.Units[i], i + 1, 2);
  }
  ShowScale(fields, agc.Scale);
  fields.Minimum->setValue(AgcShownValue(percents[0], agc.Scale));
  fields.Maximum->setValue(AgcShownValue(percents[1], agc.Scale));
  for (QSpinBox* spin : {fields.Minimum, fields.Maximum})
    connect(spin, &QSpinBox::valueChanged, this, &TPreferencesPage::Modified);

  fields.Logarithm = new QRadioButton(QStringLiteral("Logarithm"), box);
  fields.Linear = new QRadioButton(QStringLiteral("Linear"), box);
  fields.Logarithm->setObjectName(QStringLiteral("rbo%1Logarithm").arg(name));
  fields.Linear->setObjectName(QStringLiteral("rbo%1Linear").arg(name));
  (agc.Scale == 1 ? fields.Linear : fields.Logarithm)->setChecked(true);
  connect(fields.Logarithm, &QRadioButton::clicked, this,
          [this, &fields] { SwitchScale(fields, 0); });
  connect(fields.Linear, &QRadioButton::clicked, this, [this, &fields] { SwitchScale(fields, 1); });
  auto* scaleRow = new QHBoxLayout;
  scaleRow->addWidget(new QLabel(QStringLiteral("Scale:"), box));
  scaleRow->addWidget(fields.Logarithm);
  scaleRow->addWidget(fields.Linear);
  scaleRow->addStretch();
  grid->addLayout(scaleRow, 3, 0, 1, 4);
  grid->setColumnStretch(3, 1);
  EnableTrace(fields);
  return box;
}

void TAgcPage::ShowScale(TTraceFields& fields, std::uint8_t scale) {
  const QString unit = scale == 1 ? QStringLiteral("%") : QStringLiteral("dB [0..90]");
  for (QLabel* label : fields.Units)
    label->setText(unit);
  for (QSpinBox* spin : {fields.Minimum, fields.Maximum})
    spin->setRange(0, AgcShownMaximum(scale));
}

void TAgcPage::SwitchScale(TTraceFields& fields, std::uint8_t scale) {
  const int minimum = AgcShownAfterSwitch(fields.Minimum->value(), scale);
  const int maximum = AgcShownAfterSwitch(fields.Maximum->value(), scale);
  {
    const QSignalBlocker blockMinimum(fields.Minimum);
    const QSignalBlocker blockMaximum(fields.Maximum);
    ShowScale(fields, scale);
    fields.Minimum->setValue(minimum);
    fields.Maximum->setValue(maximum);
  }
  emit Modified();
}

void TAgcPage::EnableTrace(TTraceFields& fields) {
  const bool on = fields.Enabled->isChecked();
  for (QWidget* field : fields.Enabled->parentWidget()->findChildren<QWidget*>()) {
    if (field != fields.Enabled)
      field->setEnabled(on);
  }
}

std::uint8_t TAgcPage::Scale(const TTraceFields& fields) {
  return fields.Linear->isChecked() ? 1 : 0;
}

void TAgcPage::Store(TPreferences& preferences) const {
  for (int trace = 0; trace < 2; ++trace) {
    const TTraceFields& fields = traces_[trace];
    TAgcPreferences& agc = preferences.Agc[trace];
    agc.Enabled = fields.Enabled->isChecked();
    agc.Scale = Scale(fields);
    agc.Minimum = AgcPercent(fields.Minimum->value(), agc.Scale);
    agc.Maximum = AgcPercent(fields.Maximum->value(), agc.Scale);
  }
}

}  // namespace tarvok
