#include "gui/window_style.h"

#include <gtest/gtest.h>

#include "support/gui_application.h"

namespace tarvok {
namespace {

TEST(WindowStyleTest, TheIndicatorTakesItsThreeColours) {
  EnsureGuiApplication();
  EXPECT_EQ(IndicatorColor(TIndicatorColour::Red), QColor(Qt::red));
  EXPECT_EQ(IndicatorColor(TIndicatorColour::Green), QColor(Qt::green));
  EXPECT_EQ(IndicatorColor(TIndicatorColour::Blue), QColor(Qt::blue));
}

}  // namespace
}  // namespace tarvok
