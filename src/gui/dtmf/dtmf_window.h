// The DTFM tab of the main window: the tabs " DTFM  " and " Filter  " over their pages. The
// Filter page is offered only while DTMF decoding is on; the first page shows after each change.
#pragma once

#include <QWidget>

class QStackedWidget;
class QTabBar;

namespace tarvok {

class TStationRuntime;

class TDtmfWindow final : public QWidget {
  Q_OBJECT
 public:
  explicit TDtmfWindow(TStationRuntime& station, QWidget* parent = nullptr);

 private:
  void RefreshTabs();

  TStationRuntime& station_;
  QTabBar* tabs_ = nullptr;
  QStackedWidget* pages_ = nullptr;
};

}  // namespace tarvok
