// The spectrum of the last decoded block: a cyan bar per column for bins 0 .. 1023 (0 .. 4003 Hz,
// levels 0 .. 100), the DTMF tones as vertical markers (the low tones green, the high tones blue)
// and the detection level as a red line. Blank while DTMF or the spectrum is off.
#pragma once

#include <QWidget>

namespace tarvok {

class TDtmfBlockProcessor;

class TFrequencyBarsView final : public QWidget {
  Q_OBJECT
 public:
  static inline const QColor kBarColor = Qt::cyan;
  static inline const QColor kLowToneColor = Qt::green;
  static inline const QColor kHighToneColor = Qt::blue;

  TFrequencyBarsView(const TDtmfBlockProcessor& dtmf, QWidget* parent);

  // The column of a frequency in a view of that width.
  static int FrequencyX(int frequency, int width);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TDtmfBlockProcessor& dtmf_;
};

}  // namespace tarvok
