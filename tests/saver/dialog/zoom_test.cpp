// The caption zoom's rectangles.
#include <gtest/gtest.h>

#include <vector>

#include "saver/dialog/zoom.h"

namespace Sorvanta_B {
namespace {

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
