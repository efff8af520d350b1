// The equalizer's curve: ten blue band lines with the 0 line across the middle, "0" and "4K"
// under the first and last band, and the ten gain steps joined by a red line (up is louder).
#pragma once

#include <QWidget>

namespace tarvok {

class TDigitalFilter;
class TDtmfBlockProcessor;

class TEqualizerView final : public QWidget {
  Q_OBJECT
 public:
  static inline const QColor kCurveColor = Qt::red;
  static inline const QColor kGridColor = Qt::blue;

  TEqualizerView(const TDtmfBlockProcessor& dtmf, QWidget* parent);

  // The x of a band's line and the y of a gain step in a view of that size.
  static int BandX(int band, int width);
  static int StepY(int step, int height);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TDtmfBlockProcessor& dtmf_;
};

}  // namespace tarvok
