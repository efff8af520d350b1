#include "gui/preferences/vox_source_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/common/repeater_mode.h"
#include "core/config/preferences.h"

namespace tarvok {

TVoxSourcePage::TVoxSourcePage(const TPreferences& preferences, QWidget* parent)
    : TPreferencesPage(parent) {
  setObjectName(QStringLiteral("SourceSheet"));
  auto* layout = new QVBoxLayout(this);
  const std::array<const char*, 4> titles{"", " Internet Repeater  ", " Simplex Repeater  ",
                                          " Beacon Station  "};
  for (int mode = rmInternetRepeater; mode <= rmBeaconStation; ++mode) {
    auto* group = new QGroupBox(QString::fromLatin1(titles[mode]), this);
    auto* row = new QHBoxLayout(group);
    auto& pair = sources_[mode];
    pair[0] = new QRadioButton(QStringLiteral("Upper Trace Signal"), group);
    pair[1] = new QRadioButton(QStringLiteral("Lower Trace Signal"), group);
    for (int trace = 0; trace < 2; ++trace) {
      pair[trace]->setObjectName(QStringLiteral("rboVOX%1%2").arg(mode).arg(trace));
      pair[trace]->setChecked(preferences.VOXControl[mode] == trace);
      Watch(pair[trace]);
      row->addWidget(pair[trace]);
    }
    row->addStretch();
    layout->addWidget(group);
  }
  layout->addStretch();
}

void TVoxSourcePage::Store(TPreferences& preferences) const {
  for (int mode = rmInternetRepeater; mode <= rmBeaconStation; ++mode) {
    for (int trace = 0; trace < 2; ++trace) {
      if (sources_[mode][trace]->isChecked())
        preferences.VOXControl[mode] = static_cast<std::uint8_t>(trace);
    }
  }
}

}  // namespace tarvok
