#include "gui/main_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/station/station_runtime.h"
#include "core/station/status_display.h"
#include "gui/beacons/beacon_tab.h"
#include "gui/com_port_page.h"
#include "gui/control_pages.h"
#include "gui/dialogs/about_dialog.h"
#include "gui/dialogs/confirmation_dialog.h"
#include "gui/dialogs/help_dialog.h"
#include "gui/dtmf/dtmf_window.h"
#include "gui/log/recordings_log_window.h"
#include "gui/preferences/preferences_dialog.h"
#include "gui/schedule/schedule_tab.h"
#include "gui/shadowed_title.h"
#include "gui/state_indicator_view.h"
#include "gui/trace_group.h"
#include "gui/trace_legend.h"
#include "gui/trace_source_page.h"
#include "gui/transmit_page.h"
#include "gui/window_style.h"

namespace tarvok {

namespace {

constexpr std::array<int, 4> kStatusPanelWidths{230, 170, 65, 50};
constexpr std::array<TRepeaterMode, 3> kModes{rmInternetRepeater, rmSimplexRepeater,
                                              rmBeaconStation};

}  // namespace

TMainWindow::TMainWindow(TStationRuntime& station, QWidget* parent)
    : QMainWindow(parent), station_(station) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QString::fromLatin1(kApplicationName));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 4);
  caption_ = new TShadowedTitle(QString(), QPoint(1, 1), central);
  caption_->setObjectName(QStringLiteral("TopPanel"));
  layout->addWidget(caption_);
  auto* columns = new QHBoxLayout;
  generalPages_ = new QTabWidget(central);
  generalPages_->setObjectName(QStringLiteral("GeneralPageControl"));
  generalPages_->addTab(CreateGeneralTab(), QStringLiteral(" General  "));
  generalPages_->addTab(new TBeaconTab(station_), QStringLiteral(" Beacon  "));
  generalPages_->addTab(new TDtmfWindow(station_), QStringLiteral(" DTFM  "));
  generalPages_->addTab(new TScheduleTab(station_), QStringLiteral("Schedule"));
  connect(generalPages_->tabBar(), &QTabBar::tabBarClicked, this,
          [this](int index) { station_.SelectGeneralPage(static_cast<TGeneralPage>(index)); });
  connect(generalPages_, &QTabWidget::currentChanged, this, &TMainWindow::FocusChosenPage);
  columns->addWidget(generalPages_, 1);
  columns->addWidget(CreateTracesColumn(), 1);
  layout->addLayout(columns, 1);
  errorLabel_ = new QLabel(central);
  errorLabel_->setObjectName(QStringLiteral("ErrorLabel"));
  layout->addWidget(errorLabel_);
  setCentralWidget(central);
  CreateMenus();
  CreateStatusBar();
  ConnectStation();
  RefreshMode();
  // The smallest size at which no text is cut at the desktop's font, and no smaller.
  resize(minimumSizeHint());
}

QWidget* TMainWindow::CreateGeneralTab() {
  auto* tab = new QWidget;
  tab->setObjectName(QStringLiteral("GeneralTab"));
  auto* layout = new QVBoxLayout(tab);
  paramsTabs_ = new QTabBar(tab);
  paramsTabs_->setObjectName(QStringLiteral("ParamsTabSet"));
  // All four tabs in view: the column grows to hold them.
  paramsTabs_->setUsesScrollButtons(false);
  for (const char* name : {"Transmit", "Com Port", "Upper Trace", "Lower Trace"})
    paramsTabs_->addTab(QString::fromLatin1(name));
  paramsPages_ = new QStackedWidget(tab);
  paramsPages_->setObjectName(QStringLiteral("ParamsNotebook"));
  transmitPage_ = new TTransmitPage(station_, paramsPages_);
  comPortPage_ = new TComPortPage(station_, paramsPages_);
  paramsPages_->addWidget(transmitPage_);
  paramsPages_->addWidget(comPortPage_);
  for (const int trace : {TTraceSource::kUpper, TTraceSource::kLower}) {
    auto* page = new TTraceSourcePage(station_, trace, paramsPages_);
    page->setObjectName(trace == TTraceSource::kUpper ? QStringLiteral("Remote")
                                                      : QStringLiteral("Local"));
    paramsPages_->addWidget(page);
  }
  connect(paramsTabs_, &QTabBar::currentChanged, paramsPages_, &QStackedWidget::setCurrentIndex);
  connect(paramsTabs_, &QTabBar::tabBarClicked, this,
          [this](int index) { station_.SelectParamsTab(index); });
  controlPages_ = new TControlPages(station_, tab);
  layout->addWidget(paramsTabs_);
  layout->addWidget(paramsPages_, 1);
  layout->addWidget(controlPages_);
  return tab;
}

QWidget* TMainWindow::CreateTracesColumn() {
  auto* column = new QWidget;
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  for (const int trace : {TTraceSource::kUpper, TTraceSource::kLower})
    layout->addWidget(new TTraceGroup(station_, trace, column), 1);
  layout->addWidget(new TTraceLegend(column));
  indicator_ = new TStateIndicatorView(column);
  layout->addWidget(indicator_);
  auto* close = new QPushButton(QStringLiteral(" &Close      "), column);
  close->setObjectName(QStringLiteral("btnClose"));
  close->setToolTip(QStringLiteral("Close the application"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  layout->addWidget(close, 0, Qt::AlignRight);
  return column;
}

void TMainWindow::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  QAction* preferences = file->addAction(QStringLiteral("&Preferences..."));
  preferences->setObjectName(QStringLiteral("mnuPreferences"));
  preferences->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
  connect(preferences, &QAction::triggered, this, [this] { ShowPreferences(station_, this); });
  // The recordings log comes with its own window.
  QAction* log = file->addAction(QStringLiteral("&Log"));
  log->setObjectName(QStringLiteral("Log1"));
  log->setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));
  connect(log, &QAction::triggered, this, [this] { ShowRecordingsLog(station_, this); });
  QAction* exit = file->addAction(QStringLiteral("E&xit"));
  exit->setObjectName(QStringLiteral("mnuExit"));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  modeMenu_ = menuBar()->addMenu(QStringLiteral("&Mode"));
  modeMenu_->setObjectName(QStringLiteral("mnuMode"));
  auto* group = new QActionGroup(this);
  const std::array<const char*, 3> names{"mnuInternetRepeater", "mnuSimplexRepeater",
                                         "mnuBeaconStation"};
  const std::array<const char*, 3> captions{"&Internet Repeater", "&Simplex Repeater",
                                            "&Beacon Station"};
  for (std::size_t i = 0; i < kModes.size(); ++i) {
    QAction* item = modeMenu_->addAction(QString::fromLatin1(captions[i]));
    item->setObjectName(QString::fromLatin1(names[i]));
    item->setCheckable(true);
    group->addAction(item);
    const TRepeaterMode mode = kModes[i];
    connect(item, &QAction::triggered, this, [this, mode] {
      station_.ChangeMode(mode);
      RefreshControls();
    });
    modeItems_[i] = item;
  }
  schedulerItem_ = modeMenu_->addAction(QStringLiteral("&Scheduler"));
  schedulerItem_->setObjectName(QStringLiteral("mnuScheduler"));
  schedulerItem_->setCheckable(true);
  connect(schedulerItem_, &QAction::triggered, this, [this] {
    station_.ToggleScheduler();
    RefreshControls();
  });

  recorderMenu_ = menuBar()->addMenu(QStringLiteral("&Recorder"));
  recorderMenu_->setObjectName(QStringLiteral("mnuRecorder"));
  startItem_ = recorderMenu_->addAction(QStringLiteral("&Start"));
  startItem_->setObjectName(QStringLiteral("mnuStart"));
  connect(startItem_, &QAction::triggered, this, [this] { station_.StartCapture(); });
  stopItem_ = recorderMenu_->addAction(QStringLiteral("&Stop"));
  stopItem_->setObjectName(QStringLiteral("mnuStop"));
  connect(stopItem_, &QAction::triggered, this, [this] { station_.StopCapture(); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  aboutItem_ = help->addAction(QStringLiteral("&About"));
  aboutItem_->setObjectName(QStringLiteral("mnuAbout"));
  aboutItem_->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
  connect(aboutItem_, &QAction::triggered, this, [this] { ShowAbout(station_.Settings(), this); });
  // A text field would take Ctrl+A as select-all before the menu sees it.
  qApp->installEventFilter(this);
}

void TMainWindow::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  const std::array<const char*, 4> texts{"", "", "00/00/0000", "00:00:00"};
  for (std::size_t i = 0; i < statusPanels_.size(); ++i) {
    statusPanels_[i] = new QLabel(QString::fromLatin1(texts[i]), bar);
    statusPanels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    // At least the widths the panels were drawn for; a larger font widens them.
    statusPanels_[i]->setMinimumWidth(
        std::max(kStatusPanelWidths[i], statusPanels_[i]->minimumSizeHint().width()));
    bar->addWidget(statusPanels_[i]);
  }
}

void TMainWindow::ConnectStation() {
  TStationRuntime* station = &station_;
  connect(station, &TStationRuntime::ModeChanged, this, &TMainWindow::RefreshMode);
  connect(station, &TStationRuntime::ControlsChanged, this, &TMainWindow::RefreshControls);
  connect(station, &TStationRuntime::CaptureChanged, this, &TMainWindow::RefreshControls);
  connect(station, &TStationRuntime::IndicatorChanged, indicator_, &TStateIndicatorView::Show);
  connect(station, &TStationRuntime::ErrorShown, this, &TMainWindow::ShowError);
  connect(station, &TStationRuntime::ErrorCleared, this, [this] { ShowError(QString()); });
  connect(station, &TStationRuntime::RefreshOverflowed, this,
          [this] { statusPanels_[0]->setText(QStringLiteral("Overflowed")); });
  connect(station, &TStationRuntime::TransferChanged, statusPanels_[1], &QLabel::setText);
  connect(station, &TStationRuntime::ClockChanged, this,
          [this](const QString& date, const QString& time) {
            statusPanels_[2]->setText(date);
            statusPanels_[3]->setText(time);
          });
  // Questions open dialogs that wait for the user: never inside the station's own call.
  connect(station, &TStationRuntime::TraceWarningAsked, this, &TMainWindow::TraceWarningAsked,
          Qt::QueuedConnection);
  connect(station, &TStationRuntime::PeakMeterHelpNeeded, this, &TMainWindow::PeakMeterHelpNeeded,
          Qt::QueuedConnection);
}

void TMainWindow::RefreshMode() {
  const QString& caption = station_.Status().Caption();
  setWindowTitle(caption.isEmpty() ? QString::fromLatin1(kApplicationName) : caption);
  caption_->SetText(caption);
  RefreshControls();
}

void TMainWindow::RefreshControls() {
  const TModeControl& modes = station_.Modes();
  const TStationPages& pages = modes.Pages();
  {
    const QSignalBlocker blocker(generalPages_);
    const int shown = generalPages_->currentIndex();
    generalPages_->setTabVisible(static_cast<int>(TGeneralPage::Beacon), pages.BeaconTabVisible);
    generalPages_->setTabVisible(static_cast<int>(TGeneralPage::Scheduler),
                                 pages.SchedulerTabVisible);
    generalPages_->setCurrentIndex(static_cast<int>(pages.ActivePage));
    // A page the station turns to (the Beacon tab of Beacon Station mode) counts as chosen.
    if (generalPages_->currentIndex() != shown)
      FocusChosenPage();
  }
  for (std::size_t i = 0; i < kModes.size(); ++i) {
    const QSignalBlocker blocker(modeItems_[i]);
    modeItems_[i]->setChecked(modes.CheckedModeItem() == kModes[i]);
  }
  {
    const QSignalBlocker blocker(schedulerItem_);
    schedulerItem_->setChecked(modes.SchedulerChecked());
  }
  const bool recorder = station_.RecorderCapturing();
  recorderMenu_->setEnabled(modes.RecorderMenuEnabled());
  startItem_->setEnabled(!recorder);
  stopItem_->setEnabled(recorder);
  modeMenu_->setEnabled(!recorder);
  controlPages_->Refresh();
  indicator_->Show(station_.Indicator());
}

void TMainWindow::FocusChosenPage() {
  // The lists take Insert and Delete at once, as their hints say.
  if (generalPages_->currentIndex() != static_cast<int>(TGeneralPage::General))
    generalPages_->currentWidget()->setFocus();
}

void TMainWindow::ShowError(const QString& text) {
  statusPanels_[0]->setText(text);
  errorLabel_->setText(text);
}

void TMainWindow::TraceWarningAsked(const QString& message) {
  station_.AnswerTraceWarning(AskTraceWarning(this, message));
}

void TMainWindow::PeakMeterHelpNeeded() { ShowPeakMeterHelp(this); }

bool TMainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Left unaccepted, the key goes to the About item, in this window only: a dialog's text
  // fields keep their select-all.
  if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this &&
      QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()) == aboutItem_->shortcut()) {
    event->ignore();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainWindow::Raise() {
  showNormal();
  raise();
  activateWindow();
}

void TMainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_)
    return;
  shown_ = true;
  station_.CheckTraceAssignment();
}

void TMainWindow::closeEvent(QCloseEvent* event) {
  station_.Close();
  event->accept();
}

}  // namespace tarvok
