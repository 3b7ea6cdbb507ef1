// The caption-zoom animation's rectangles: between the remembered screen point
// ZoomPoint and a window's outer rectangle. The Windows calls are in zoom_win32.
#pragma once

#include <cstdint>

namespace Sorvanta_B {

// A screen point in pixels held as two 16-bit signed integers.
struct ZoomScreenPoint {
  std::int16_t x = 0;
  std::int16_t y = 0;
};

// The point the zoom animations start from and end at; the settings dialog sets it
// from the mouse position when it loads. (0, 0) at process start.
extern ZoomScreenPoint ZoomPoint;

struct ZoomRect {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;
  bool operator==(const ZoomRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

struct ZoomAnimation {
  ZoomRect from;
  ZoomRect to;
};

// The empty rectangle whose four edges are the point.
ZoomRect emptyRectAt(ZoomScreenPoint point);

// ZoomOpen: from the point to the window; ZoomClose: from the window to the point.
ZoomAnimation zoomOpenRects(ZoomScreenPoint point, const ZoomRect& window);
ZoomAnimation zoomCloseRects(ZoomScreenPoint point, const ZoomRect& window);

// What the caption zoom needs of the platform; the window is an opaque handle.
class ZoomPort {
 public:
  virtual ~ZoomPort() = default;
  // The window's outer rectangle; all zeros when it cannot be read.
  virtual ZoomRect outerRect(void* window) = 0;
  // The system's caption animation for the window, between two screen rectangles.
  virtual void animateCaption(void* window, const ZoomRect& from, const ZoomRect& to) = 0;
};

// ZoomOpen and ZoomClose between ZoomPoint and the window, through the port.
void zoomOpen(ZoomPort& port, void* window);
void zoomClose(ZoomPort& port, void* window);

// The mouse position as ZoomPoint keeps it: (0, 0) when it could not be read, each
// coordinate held to the 16-bit range.
ZoomScreenPoint zoomPointFromCursor(bool cursorRead, long x, long y);

}  // namespace Sorvanta_B
