// The DTFM page: "DTFM Enabled", "Spectrum", the decoder in use with its choice, "Clear", the
// spectrum with the sensitivity bar beside it (top is level 0), the terminal of decoded keys and
// the processing time. Switching DTMF on in Simplex Repeater mode without DTFMSimplex tells the
// user where to enable it.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QSlider;

namespace tarvok {

class TDtmfBlockProcessor;
class TStationRuntime;

class TDtmfPage final : public QWidget {
  Q_OBJECT
 public:
  TDtmfPage(TStationRuntime& station, QWidget* parent);

 private:
  QWidget* CreateButtons();
  void EnabledClicked(bool on);
  void ShowSimplexHint();
  void RefreshSettings();
  void RefreshTerminal();
  void RefreshTexts();

  TStationRuntime& station_;
  const TDtmfBlockProcessor& dtmf_;
  QCheckBox* enabled_ = nullptr;
  QCheckBox* spectrum_ = nullptr;
  QComboBox* decoder_ = nullptr;
  QSlider* levelBar_ = nullptr;
  QPlainTextEdit* terminal_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* error_ = nullptr;
};

}  // namespace tarvok
