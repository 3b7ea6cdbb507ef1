// The caption zoom as built for Windows, under Wine: ZoomPoint from the mouse position.
// (Wine draws nothing for DrawAnimatedRects; the animations are checked through the
// zoom's port in zoom_test.)
#include <windows.h>

#include <gtest/gtest.h>

#include "saver/dialog/zoom.h"
#include "saver/dialog/zoom_win32.h"

namespace Sorvanta_B {
namespace {

TEST(ZoomWin32, ZoomPointTakesTheMousePosition) {
  const POINT places[] = {{300, 200}, {17, 401}};
  for (const POINT& place : places) {
    ASSERT_TRUE(SetCursorPos(place.x, place.y)) << place.x << "," << place.y;
    POINT actual{};
    ASSERT_TRUE(GetCursorPos(&actual));
    ZoomPoint = ZoomScreenPoint{-1, -1};  // sentinel: proves the call wrote it
    rememberZoomPointFromCursor();
    EXPECT_EQ(ZoomPoint.x, actual.x) << "moved to " << place.x << "," << place.y;
    EXPECT_EQ(ZoomPoint.y, actual.y) << "moved to " << place.x << "," << place.y;
  }
}

}  // namespace
}  // namespace Sorvanta_B
