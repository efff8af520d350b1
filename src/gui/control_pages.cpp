#include "gui/control_pages.h"

#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/station/station_runtime.h"

namespace tarvok {

QString StateButtonObjectName(TStateButton button) {
  switch (button) {
    case TStateButton::RepeaterVox:
      return QStringLiteral("rboEnableVOX");
    case TStateButton::RepeaterForceXmit:
      return QStringLiteral("rboForceXMIT");
    case TStateButton::RepeaterForceRecv:
      return QStringLiteral("rboForceRECV");
    case TStateButton::SimplexVox:
      return QStringLiteral("rboSVOX");
    case TStateButton::SimplexForceRecord:
      return QStringLiteral("rboSREC");
    case TStateButton::SimplexForceXmit:
      return QStringLiteral("rboSXMIT");
    case TStateButton::SimplexListen:
      return QStringLiteral("rboSLISTEN");
    case TStateButton::BeaconVox:
      return QStringLiteral("rboBeaconEnable");
    case TStateButton::BeaconListen:
      return QStringLiteral("rboBeaconListen");
  }
  return {};
}

TControlPages::TControlPages(TStationRuntime& station, QWidget* parent)
    : QStackedWidget(parent), station_(station) {
  using enum TStateButton;
  setObjectName(QStringLiteral("ControlNotebook"));
  AddPage(QStringLiteral("Repeater"), {RepeaterVox, RepeaterForceXmit, RepeaterForceRecv});
  AddPage(QStringLiteral("Simplex"),
          {SimplexVox, SimplexForceRecord, SimplexForceXmit, SimplexListen});
  AddPage(QStringLiteral("Beacon"), {BeaconVox, BeaconListen});
  QWidget* scheduler = AddPage(QStringLiteral("Scheduler"), {});
  scheduler->layout()->addWidget(new QLabel(QStringLiteral("Scheduler: Waiting for event")));
  Refresh();
}

QWidget* TControlPages::AddPage(const QString& name, std::initializer_list<TStateButton> buttons) {
  auto* page = new QWidget(this);
  page->setObjectName(name);
  auto* layout = new QVBoxLayout(page);
  for (const TStateButton button : buttons) {
    auto* radio = new QRadioButton(QString::fromLatin1(StateButtonInfo(button).Caption), page);
    radio->setObjectName(StateButtonObjectName(button));
    layout->addWidget(radio);
    buttons_[button] = radio;
    connect(radio, &QRadioButton::clicked, this, [this, button] {
      station_.ClickStateButton(button);
      Refresh();
    });
  }
  layout->addStretch();
  addWidget(page);
  return page;
}

void TControlPages::Refresh() {
  const TModeControl& modes = station_.Modes();
  for (const auto& [button, radio] : buttons_) {
    const QSignalBlocker blocker(radio);
    // Auto-exclusive buttons cannot all be unchecked; the page's one checked button is set.
    radio->setAutoExclusive(false);
    radio->setChecked(modes.Buttons().IsChecked(button));
    radio->setAutoExclusive(true);
  }
  setCurrentIndex(static_cast<int>(modes.Pages().ControlPage));
}

}  // namespace tarvok
