// A trace's group box on the main window (" Upper Trace (VOX)  "): a header with the chosen line
// and the "Disable the Trace" box, the scale on the left and the oscilloscope filling the rest.
#pragma once

#include <QGroupBox>

class QCheckBox;
class QLabel;

namespace tarvok {

class TStationRuntime;
class TTraceSource;

class TTraceGroup final : public QGroupBox {
  Q_OBJECT
 public:
  TTraceGroup(TStationRuntime& station, int trace, QWidget* parent);

 private:
  void Refresh();

  TStationRuntime& station_;
  const TTraceSource& trace_;
  QLabel* header_;
  QCheckBox* disable_;
};

}  // namespace tarvok
