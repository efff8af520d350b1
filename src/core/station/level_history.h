// The recent levels of one trace as vertical bar positions, with the threshold and AGC lines:
// what an oscilloscope panel (32 points) or a level meter (1 point) draws. Positions count
// pixels from the top of a panel of Height rows; a position at or beyond the bottom draws no bar,
// a negative line position hides the line.
#pragma once

#include <QObject>
#include <vector>

namespace tarvok {

class TLevelHistory final : public QObject {
  Q_OBJECT
 public:
  explicit TLevelHistory(QObject* parent = nullptr) : QObject(parent) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The panel's client size, set by whoever draws it. A new height clears the points.
  void SetSize(int width, int height);

  int Count() const { return static_cast<int>(points_.size()); }
  const std::vector<int>& Points() const { return points_; }
  // Width of one bar in pixels: the width divided by the number of points.
  int StepWidth() const { return points_.empty() ? width_ : width_ / Count(); }

  // N points, each 0.
  void SetCount(int count);
  // Every point at the bottom: no bar.
  void Clear();
  // Point 0 (the leftmost bar) becomes y; the others move one place to the right and the
  // rightmost falls off. Nothing without points. True when the points changed.
  bool AddPoint(int y);

  int ThresholdY() const { return thresholdY_; }
  int AgcLowY() const { return agcLowY_; }
  int AgcHighY() const { return agcHighY_; }
  void SetThresholdY(int y);
  void SetAgcLowY(int y);
  void SetAgcHighY(int y);

 signals:
  // Points, lines or size changed; the panel repaints.
  void Changed();

 private:
  void SetLine(int& line, int y);

  std::vector<int> points_;
  int width_ = 0;
  int height_ = 0;
  int thresholdY_ = -1;
  int agcLowY_ = -1;
  int agcHighY_ = -1;
};

}  // namespace tarvok
