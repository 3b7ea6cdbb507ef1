// The preview form's size in its host and the caption zoom's rectangles.
#include <gtest/gtest.h>

#include <vector>

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

// Records the animations asked of the platform.
class FakeZoomPort : public ZoomPort {
 public:
  struct Call {
    void* window;
    ZoomRect from;
    ZoomRect to;
  };
  void* readableWindow = nullptr;
  std::vector<Call> calls;

  ZoomRect outerRect(void* window) override {
    return window == readableWindow ? kWindow : ZoomRect{};
  }
  void animateCaption(void* window, const ZoomRect& from, const ZoomRect& to) override {
    calls.push_back(Call{window, from, to});
  }
};

TEST(Zoom, OpenAndCloseAnimateTheWindowBetweenZoomPointAndItsRectangle) {
  int dialog = 0;
  for (const ZoomScreenPoint point :
       {ZoomScreenPoint{40, -7}, ZoomScreenPoint{0, 0}, ZoomScreenPoint{-32768, 32767}}) {
    FakeZoomPort port;
    port.readableWindow = &dialog;
    ZoomPoint = point;
    zoomOpen(port, &dialog);
    zoomClose(port, &dialog);
    const ZoomRect atPoint{point.x, point.y, point.x, point.y};
    ASSERT_EQ(port.calls.size(), 2u);
    EXPECT_EQ(port.calls[0].window, &dialog);
    EXPECT_EQ(port.calls[0].from, atPoint) << "open, point " << point.x << "," << point.y;
    EXPECT_EQ(port.calls[0].to, kWindow);
    EXPECT_EQ(port.calls[1].window, &dialog);
    EXPECT_EQ(port.calls[1].from, kWindow);
    EXPECT_EQ(port.calls[1].to, atPoint) << "close, point " << point.x << "," << point.y;
  }
  ZoomPoint = ZoomScreenPoint{};
}

TEST(Zoom, UnreadWindowRectangleAnimatesFromAndToTheScreenOrigin) {
  FakeZoomPort port;
  int gone = 0;
  ZoomPoint = ZoomScreenPoint{300, 200};
  zoomOpen(port, &gone);
  zoomClose(port, &gone);
  ASSERT_EQ(port.calls.size(), 2u);
  EXPECT_EQ(port.calls[0].to, (ZoomRect{0, 0, 0, 0}));
  EXPECT_EQ(port.calls[1].from, (ZoomRect{0, 0, 0, 0}));
  EXPECT_EQ(port.calls[1].to, (ZoomRect{300, 200, 300, 200}));
  ZoomPoint = ZoomScreenPoint{};
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
