// A panel that draws one level history: bars rising from the bottom, the newest leftmost, with
// the threshold line in red and the two AGC lines in blue over them. The trace's oscilloscope
// (32 bars) and its level meter (one bar) are both such panels.
#pragma once

#include <QWidget>

namespace tarvok {

class TLevelHistory;

class TOscilloscopeView final : public QWidget {
  Q_OBJECT
 public:
  TOscilloscopeView(const TLevelHistory& history, QWidget* parent);

 signals:
  // The owner hands the new size to the trace, which places the levels for it.
  void Resized(QSize size);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  const TLevelHistory& history_;
};

}  // namespace tarvok
