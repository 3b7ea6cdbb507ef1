// The preview form's size in its host and the caption zoom's rectangles.
#include <gtest/gtest.h>

#include "saver/preview_layout.h"
#include "saver/zoom_rects.h"

namespace Sorvanta_B {
namespace {

struct FormCase {
  long left, top, right, bottom;
  int width, height;
};

const FormCase kFormCases[] = {
    {0, 0, 152, 112, 152, 112}, {100, 50, 400, 290, 300, 240}, {-20, -10, 60, 30, 80, 40},
    {0, 0, 0, 0, 0, 0},         {500, 500, 400, 600, 0, 100},  {10, 10, 11, 11, 1, 1},
};

TEST(PreviewLayout, FormTakesTheParentsOuterSize) {
  for (const FormCase& c : kFormCases) {
    const PreviewSize size = previewFormSize(c.left, c.top, c.right, c.bottom);
    EXPECT_EQ(size.width, c.width) << c.left << "," << c.top << "," << c.right << "," << c.bottom;
    EXPECT_EQ(size.height, c.height) << c.left << "," << c.top << "," << c.right << "," << c.bottom;
  }
}

TEST(PreviewLayout, PictureIsNeverStretched) {
  const PreviewSize big = visiblePicturePart(PreviewSize{640, 480});
  EXPECT_EQ(big.width, kPreviewPictureWidth);
  EXPECT_EQ(big.height, kPreviewPictureHeight);
  const PreviewSize small = visiblePicturePart(PreviewSize{100, 50});
  EXPECT_EQ(small.width, 100);
  EXPECT_EQ(small.height, 50);
  const PreviewSize none = visiblePicturePart(PreviewSize{0, 0});
  EXPECT_EQ(none.width, 0);
  EXPECT_EQ(none.height, 0);
}

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
