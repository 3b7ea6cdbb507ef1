// The caption zoom as built for Windows, under Wine: ZoomPoint from the mouse position
// and both animations on a real window.
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

TEST(ZoomWin32, AnimationsLeaveTheWindowWhereItIs) {
  HWND window = CreateWindowW(L"STATIC", L"zoom target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 90,
                              300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  RECT before{};
  GetWindowRect(window, &before);
  ZoomPoint = ZoomScreenPoint{10, 10};
  ZoomOpen(window);
  ZoomClose(window);
  RECT after{};
  GetWindowRect(window, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(ZoomPoint.x, 10) << "the zoom changed ZoomPoint";
  DestroyWindow(window);
  ZoomOpen(nullptr);  // an unreadable window animates from the origin and does no harm
}

}  // namespace
}  // namespace Sorvanta_B
