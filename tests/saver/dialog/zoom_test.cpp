// The caption zoom's rectangles.
#include <gtest/gtest.h>

#include "saver/dialog/zoom.h"

namespace Sorvanta_B {
namespace {

const ZoomRect kWindow{265, 180, 765, 455};

TEST(Zoom, OpenGrowsFromTheEmptyRectangleAtThePoint) {
  const ZoomAnimation open = zoomOpenRects(ZoomScreenPoint{40, -7}, kWindow);
  EXPECT_EQ(open.from, (ZoomRect{40, -7, 40, -7}));
  EXPECT_EQ(open.to, kWindow);
}

TEST(Zoom, CloseIsTheMirrorImageOfOpen) {
  for (const ZoomScreenPoint point :
       {ZoomScreenPoint{0, 0}, ZoomScreenPoint{512, 384}, ZoomScreenPoint{-32768, 32767}}) {
    const ZoomAnimation open = zoomOpenRects(point, kWindow);
    const ZoomAnimation close = zoomCloseRects(point, kWindow);
    EXPECT_EQ(close.from, open.to) << "point " << point.x << "," << point.y;
    EXPECT_EQ(close.to, open.from) << "point " << point.x << "," << point.y;
    EXPECT_EQ(close.to, emptyRectAt(point)) << "point " << point.x << "," << point.y;
  }
}

TEST(Zoom, UnreadWindowRectangleAnimatesToTheScreenOrigin) {
  const ZoomAnimation close = zoomCloseRects(ZoomScreenPoint{300, 200}, ZoomRect{});
  EXPECT_EQ(close.from, (ZoomRect{0, 0, 0, 0}));
  EXPECT_EQ(close.to, (ZoomRect{300, 200, 300, 200}));
}

TEST(ZoomPointValue, StartsAtTheOriginAndKeepsTheCursor) {
  EXPECT_EQ(ZoomPoint.x, 0);
  EXPECT_EQ(ZoomPoint.y, 0);
  const ZoomScreenPoint read = zoomPointFromCursor(true, 812, 603);
  EXPECT_EQ(read.x, 812);
  EXPECT_EQ(read.y, 603);
  const ZoomScreenPoint unread = zoomPointFromCursor(false, 812, 603);
  EXPECT_EQ(unread.x, 0);
  EXPECT_EQ(unread.y, 0);
  const ZoomScreenPoint far = zoomPointFromCursor(true, 70000, -70000);
  EXPECT_EQ(far.x, 32767);
  EXPECT_EQ(far.y, -32768);
}

}  // namespace
}  // namespace Sorvanta_B
