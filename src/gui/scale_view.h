// The 18-pixel scale left of a trace's oscilloscope: the noise level at the bottom, 90 at the top,
// the AGC bounds and the threshold at their lines, each number kept inside the panel.
#pragma once

#include <QWidget>

namespace tarvok {

class TTraceSource;

class TScaleView final : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 18;

  TScaleView(const TTraceSource& trace, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TTraceSource& trace_;
};

}  // namespace tarvok
