#include "monitor_covers.h"

#include <gtest/gtest.h>

#include <ostream>

namespace sorvanta {

std::ostream& operator<<(std::ostream& out, const ScreenRect& r) {
  return out << '(' << r.left << ',' << r.top << ")-(" << r.right << ',' << r.bottom << ')';
}

}  // namespace sorvanta

namespace {

using sorvanta::layOutCovers;
using sorvanta::ScreenRect;

// The renderer's mode on the primary, where the scene window was made.
constexpr ScreenRect kScene{0, 0, 1024, 768};

struct CoverCase {
  const char* what;
  std::vector<ScreenRect> monitors;
  ScreenRect sceneMonitor;
  ScreenRect sceneWindow;
  std::vector<ScreenRect> covers;
};

TEST(MonitorCovers, FullScreenCoversEveryOtherMonitorAndFillsItsOwn) {
  const ScreenRect right{1024, 0, 2304, 1024};
  const ScreenRect left{-1280, 0, 0, 1024};
  const ScreenRect above{0, -1080, 1920, 0};
  const CoverCase cases[] = {
      {"plugged in at the right", {kScene, right}, kScene, kScene, {right}},
      {"plugged in at the left", {left, kScene}, kScene, kScene, {left}},
      {"the other one unplugged", {kScene}, kScene, kScene, {}},
      {"above, at negative coordinates", {above, kScene, left}, kScene, kScene, {above, left}},
      // The mode was lost (a monitor plugged in, a driver reset): the primary is back at
      // the user's size, and the scene window fills it again rather than being covered.
      {"primary grown past the scene",
       {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}},
       {0, 0, 1920, 1080},
       {0, 0, 1920, 1080},
       {{1920, 0, 3200, 1024}}},
      // Smaller than the scene window: the window keeps within it, off the next monitor.
      {"primary shrunk",
       {{0, 0, 800, 600}, {800, 0, 2080, 1024}},
       {0, 0, 800, 600},
       {0, 0, 800, 600},
       {{800, 0, 2080, 1024}}},
      // The scene on a monitor that is not the primary, left of it.
      {"scene left of the primary",
       {kScene, {-1024, 0, 0, 768}},
       {-1024, 0, 0, 768},
       {-1024, 0, 0, 768},
       {kScene}},
  };
  for (const CoverCase& c : cases) {
    const auto layout = layOutCovers(c.monitors, c.sceneMonitor, kScene, true);
    EXPECT_EQ(layout.sceneWindow, c.sceneWindow) << c.what;
    EXPECT_EQ(layout.covers, c.covers) << c.what;
  }
}

TEST(MonitorCovers, WindowedCoversNothingAndLeavesTheWindow) {
  const ScreenRect window{0, 0, 1032, 797};  // a captioned 1024 x 768 client
  const auto layout =
      layOutCovers({{0, 0, 1280, 1024}, {1280, 0, 2304, 768}}, {0, 0, 1280, 1024}, window, false);
  EXPECT_EQ(layout.sceneWindow, window);
  EXPECT_TRUE(layout.covers.empty());
}

}  // namespace
