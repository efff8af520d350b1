// The station's desktop window: the mode caption, the General tab with the Transmit, Com Port and
// trace source pages and the state buttons, the two traces with their scales and oscilloscopes,
// the state indicator, the error line, the status bar and the menus. Every control asks the
// station's door; every view follows its signals.
#pragma once

#include <QMainWindow>
#include <array>

class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabBar;
class QTabWidget;

namespace tarvok {

class TComPortPage;
class TControlPages;
class TShadowedTitle;
class TStateIndicatorView;
class TStationRuntime;
class TTransmitPage;

class TMainWindow final : public QMainWindow {
  Q_OBJECT
 public:
  explicit TMainWindow(TStationRuntime& station, QWidget* parent = nullptr);

  // Another copy of the station was started on this folder: this window comes to the front.
  void Raise();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* CreateGeneralTab();
  QWidget* CreateTracesColumn();
  void CreateMenus();
  void CreateStatusBar();
  void ConnectStation();

  void RefreshMode();
  void RefreshControls();
  void FocusChosenPage();
  void ShowError(const QString& text);
  void TraceWarningAsked(const QString& message);
  void PeakMeterHelpNeeded();

  TStationRuntime& station_;
  TShadowedTitle* caption_ = nullptr;
  QTabWidget* generalPages_ = nullptr;
  QTabBar* paramsTabs_ = nullptr;
  QStackedWidget* paramsPages_ = nullptr;
  TTransmitPage* transmitPage_ = nullptr;
  TComPortPage* comPortPage_ = nullptr;
  TControlPages* controlPages_ = nullptr;
  TStateIndicatorView* indicator_ = nullptr;
  QLabel* errorLabel_ = nullptr;
  std::array<QLabel*, 4> statusPanels_{};
  std::array<QAction*, 3> modeItems_{};
  QAction* schedulerItem_ = nullptr;
  QAction* aboutItem_ = nullptr;
  QMenu* modeMenu_ = nullptr;
  QMenu* recorderMenu_ = nullptr;
  QAction* startItem_ = nullptr;
  QAction* stopItem_ = nullptr;
  bool shown_ = false;
};

}  // namespace tarvok
