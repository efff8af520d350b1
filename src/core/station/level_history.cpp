#include "core/station/level_history.h"

#include <algorithm>

namespace tarvok {

void TLevelHistory::SetSize(int width, int height) {
  width_ = width;
  // Positions count from the top of the old height; kept, they would draw stale bars.
  if (height != height_) {
    height_ = height;
    std::fill(points_.begin(), points_.end(), height_);
  }
  emit Changed();
}

void TLevelHistory::SetCount(int count) {
  points_.assign(static_cast<std::size_t>(std::max(0, count)), 0);
  emit Changed();
}

void TLevelHistory::Clear() {
  std::fill(points_.begin(), points_.end(), height_);
  emit Changed();
}

bool TLevelHistory::AddPoint(int y) {
  // A flat trace that stays flat looks the same: no repaint.
  if (std::ranges::all_of(points_, [y](int point) { return point == y; }))
    return false;
  std::shift_right(points_.begin(), points_.end(), 1);
  points_.front() = y;
  emit Changed();
  return true;
}

void TLevelHistory::SetLine(int& line, int y) {
  line = y;
  emit Changed();
}

void TLevelHistory::SetThresholdY(int y) { SetLine(thresholdY_, y); }
void TLevelHistory::SetAgcLowY(int y) { SetLine(agcLowY_, y); }
void TLevelHistory::SetAgcHighY(int y) { SetLine(agcHighY_, y); }

}  // namespace tarvok
