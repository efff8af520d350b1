#include "gui/dtmf/dtmf_window.h"

#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "core/dtmf/dtmf_block_processor.h"
#include "core/station/station_runtime.h"
#include "gui/dtmf/dtmf_page.h"
#include "gui/dtmf/filter_page.h"

namespace tarvok {

TDtmfWindow::TDtmfWindow(TStationRuntime& station, QWidget* parent)
    : QWidget(parent), station_(station) {
  setObjectName(QStringLiteral("frmDTMF"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  tabs_ = new QTabBar(this);
  tabs_->setObjectName(QStringLiteral("TabSet"));
  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("Notebook"));
  pages_->addWidget(new TDtmfPage(station_, pages_));
  pages_->addWidget(new TFilterPage(station_, pages_));
  layout->addWidget(tabs_);
  layout->addWidget(pages_, 1);
  setFocusProxy(pages_);
  connect(tabs_, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);
  connect(&station_.Dtmf(), &TDtmfBlockProcessor::SettingsChanged, this, &TDtmfWindow::RefreshTabs);
  RefreshTabs();
}

void TDtmfWindow::RefreshTabs() {
  const int wanted = station_.Dtmf().Enabled() ? 2 : 1;
  if (tabs_->count() == wanted)
    return;
  const QSignalBlocker blocker(tabs_);
  while (tabs_->count() > 0)
    tabs_->removeTab(0);
  tabs_->addTab(QStringLiteral(" DTFM  "));
  if (wanted == 2)
    tabs_->addTab(QStringLiteral(" Filter  "));
  tabs_->setCurrentIndex(0);
  pages_->setCurrentIndex(0);
}

}  // namespace tarvok
