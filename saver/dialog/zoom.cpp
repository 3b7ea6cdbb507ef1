#include "saver/dialog/zoom.h"

#include <algorithm>
#include <limits>

namespace Sorvanta_B {

ZoomScreenPoint ZoomPoint;

namespace {

std::int16_t toSixteenBits(long value) {
  const long low = std::numeric_limits<std::int16_t>::min();
  const long high = std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(std::clamp(value, low, high));
}

}  // namespace

ZoomRect emptyRectAt(ZoomScreenPoint point) {
  return ZoomRect{point.x, point.y, point.x, point.y};
}

ZoomAnimation zoomOpenRects(ZoomScreenPoint point, const ZoomRect& window) {
  return ZoomAnimation{emptyRectAt(point), window};
}

ZoomAnimation zoomCloseRects(ZoomScreenPoint point, const ZoomRect& window) {
  return ZoomAnimation{window, emptyRectAt(point)};
}

void zoomOpen(ZoomPort& port, void* window) {
  const ZoomAnimation animation = zoomOpenRects(ZoomPoint, port.outerRect(window));
  port.animateCaption(window, animation.from, animation.to);
}

void zoomClose(ZoomPort& port, void* window) {
  const ZoomAnimation animation = zoomCloseRects(ZoomPoint, port.outerRect(window));
  port.animateCaption(window, animation.from, animation.to);
}

ZoomScreenPoint zoomPointFromCursor(bool cursorRead, long x, long y) {
  if (!cursorRead) {
    return ZoomScreenPoint{};
  }
  return ZoomScreenPoint{toSixteenBits(x), toSixteenBits(y)};
}

}  // namespace Sorvanta_B
