// A trace's group box on the main window, in pixels: the oscilloscope's bars and lines and the
// scale's labels, drawn from the trace the group is bound to.
#include <gtest/gtest.h>

#include <QImage>
#include <map>

#include "gui/oscilloscope_view.h"
#include "gui/scale_view.h"
#include "gui/trace_group.h"
#include "support/station_runtime_probe.h"
#include "support/window_fixture.h"

namespace tarvok {
namespace {

const QColor kBlack = Qt::black;
const QColor kLime = QColor(0, 255, 0);
const QColor kRed = Qt::red;
const QColor kBlue = Qt::blue;

class TracePanelsTest : public WindowTest {
 protected:
  TTraceSource& Upper() { return TStationRuntimeProbe::Trace(Station(), TTraceSource::kUpper); }

  // The upper trace on a metered line, its group shown at a size of its own.
  void ShowGroup() {
    Upper().ChooseLine(1);  // a 32767 meter
    group_ = std::make_unique<TTraceGroup>(Station(), TTraceSource::kUpper, nullptr);
    group_->resize(300, 180);
    group_->show();
  }
  template <typename T>
  QImage Grab() {
    return group_->findChild<T*>()->grab().toImage();
  }

  std::unique_ptr<TTraceGroup> group_;
};

TEST_F(TracePanelsTest, TheOscilloscopeDrawsTheNewestBarLeftmostUnderItsLines) {
  Config().SetAgcMinimum(0, 70);
  ShowGroup();
  Upper().SetGainControl(true);
  const TLevelHistory& scope = Upper().Scope();
  const auto* view = group_->findChild<TOscilloscopeView*>();
  ASSERT_EQ(scope.Width(), view->width()) << "the view reports its size to the trace";
  ASSERT_EQ(scope.Height(), view->height());
  const int height = scope.Height();
  const int step = scope.Width() / TTraceSource::kScopePoints;
  ASSERT_GT(step, 1);

  Upper().Scope().AddPoint(height / 4);      // the older, taller bar
  Upper().Scope().AddPoint(height * 3 / 4);  // the newest
  const QImage image = Grab<TOscilloscopeView>();
  const int between = height / 2;  // above the newest bar, inside the older one
  ASSERT_NE(between, scope.ThresholdY());
  EXPECT_EQ(image.pixelColor(0, between), kBlack);
  EXPECT_EQ(image.pixelColor(0, height - 1), kLime);
  EXPECT_EQ(image.pixelColor(step - 1, between), kBlack) << "the newest bar is one step wide";
  EXPECT_EQ(image.pixelColor(step, between), kLime);
  EXPECT_EQ(image.pixelColor(2 * step - 1, height / 4), kLime);
  EXPECT_EQ(image.pixelColor(2 * step - 1, height / 4 - 1), kBlack);
  EXPECT_EQ(image.pixelColor(2 * step, height - 1), kBlack) << "cleared points draw no bar";

  // The lines cross the whole width, over the bars.
  for (const int x : {0, step, scope.Width() - 1}) {
    EXPECT_EQ(image.pixelColor(x, scope.ThresholdY()), kRed);
    EXPECT_EQ(image.pixelColor(x, scope.AgcLowY()), kBlue);
    EXPECT_EQ(image.pixelColor(x, scope.AgcHighY()), kBlue);
  }
  EXPECT_EQ(image.pixelColor(0, scope.ThresholdY() - 1), kLime);
  EXPECT_EQ(image.pixelColor(2 * step, scope.ThresholdY() - 1), kBlack);

  // Gain control off hides the AGC lines.
  const int agcLow = scope.AgcLowY();
  Upper().SetGainControl(false);
  EXPECT_EQ(Grab<TOscilloscopeView>().pixelColor(2 * step, agcLow), kBlack);
}

// The rows of each run of dark pixels in the number column, top to bottom.
std::vector<std::pair<int, int>> TextRuns(const QImage& image) {
  std::vector<std::pair<int, int>> runs;
  for (int y = 0; y < image.height(); ++y) {
    bool dark = false;
    for (int x = 0; x < image.width() - 4 && !dark; ++x)
      dark = qGray(image.pixel(x, y)) < 128;
    if (!dark)
      continue;
    if (!runs.empty() && runs.back().second == y - 1)
      runs.back().second = y;
    else
      runs.emplace_back(y, y);
  }
  return runs;
}

TEST_F(TracePanelsTest, TheScaleKeepsItsEdgeLabelsWholeInsideThePanel) {
  Config().SetNoiseLevel(30);
  Config().SetThresholdLevel(30);
  ShowGroup();
  const QImage image = Grab<TScaleView>();
  ASSERT_EQ(image.width(), TScaleView::kWidth);
  const int height = image.height();
  const int threshold = Upper().Scope().ThresholdY();
  ASSERT_GT(threshold, height / 4);
  ASSERT_LT(threshold, height * 3 / 4);

  // "90" at the top edge, "60" at the threshold, "30" (the noise) at the bottom edge.
  const auto runs = TextRuns(image);
  ASSERT_EQ(runs.size(), 3u);
  const auto extent = [](const std::pair<int, int>& run) { return run.second - run.first; };
  EXPECT_NEAR(runs[0].first, 0, 3);
  EXPECT_NEAR(runs[2].second, height - 1, 3);
  EXPECT_LT(runs[1].first, threshold);
  EXPECT_GT(runs[1].second, threshold);
  // Cut at an edge, a number would be shorter than the one in the middle.
  EXPECT_NEAR(extent(runs[0]), extent(runs[1]), 1);
  EXPECT_NEAR(extent(runs[2]), extent(runs[1]), 1);

  // Each label has its tick at the right edge.
  for (const int y : {0, threshold, height - 1})
    EXPECT_EQ(image.pixelColor(TScaleView::kWidth - 1, y), kBlack) << y;
}

TEST_F(TracePanelsTest, OnTheLinearScaleNoNumberCoversAnotherAndTheThresholdOutranksTheAgc) {
  Config().SetTrayScale(1);
  Config().SetNoiseLevel(0);
  Config().SetThresholdLevel(84);
  Config().SetAgcScale(0, 1);
  Config().SetAgcMinimum(0, 45);
  Config().SetAgcMaximum(0, 75);
  ShowGroup();
  Upper().SetGainControl(true);
  const TLevelHistory& scope = Upper().Scope();
  const int height = scope.Height();
  const int line = group_->findChild<TScaleView*>()->fontMetrics().height();
  // The AGC's low bound sits within a line of the threshold, its high bound clear of the rest.
  ASSERT_LT(std::abs(scope.AgcLowY() - scope.ThresholdY()), line);
  ASSERT_GT(scope.AgcHighY(), line * 3 / 2);
  ASSERT_LT(scope.AgcHighY(), scope.ThresholdY() - line);
  ASSERT_LT(scope.ThresholdY(), height - line * 3 / 2);

  // "90", the AGC's high bound, the threshold and the noise: four numbers, none on another.
  const QImage image = Grab<TScaleView>();
  const auto runs = TextRuns(image);
  ASSERT_EQ(runs.size(), 4u);
  for (const auto& [first, last] : runs)
    EXPECT_LT(last - first, line) << first;
  EXPECT_LE(runs[1].first, scope.AgcHighY());
  EXPECT_GE(runs[1].second, scope.AgcHighY());
  EXPECT_LE(runs[2].first, scope.ThresholdY());
  EXPECT_GE(runs[2].second, scope.ThresholdY());
  // Every tick stays, the hidden number's too.
  for (const int y : {0, scope.AgcHighY(), scope.AgcLowY(), scope.ThresholdY(), height - 1})
    EXPECT_EQ(image.pixelColor(TScaleView::kWidth - 1, y), kBlack) << y;
}

}  // namespace
}  // namespace tarvok
