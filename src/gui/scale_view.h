// The 18-pixel scale left of a trace's oscilloscope: the noise level at the bottom, 90 at the top,
// the threshold and the AGC bounds at their lines, each number kept inside the panel; a number
// that would cover one drawn before it is left out, its tick kept.
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
