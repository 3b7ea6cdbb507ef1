#include "saver/dialog/zoom_win32.h"

#include <windows.h>

#include "saver/dialog/zoom.h"

namespace Sorvanta_B {
namespace {

RECT toRect(const ZoomRect& rect) {
  return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

class ZoomPortWin32 final : public ZoomPort {
 public:
  ZoomRect outerRect(void* window) override {
    RECT rect{};  // a rectangle that cannot be read stays all zeros
    GetWindowRect(static_cast<HWND>(window), &rect);
    return ZoomRect{rect.left, rect.top, rect.right, rect.bottom};
  }

  void animateCaption(void* window, const ZoomRect& from, const ZoomRect& to) override {
    const RECT fromRect = toRect(from);
    const RECT toRectangle = toRect(to);
    DrawAnimatedRects(static_cast<HWND>(window), IDANI_CAPTION, &fromRect, &toRectangle);
  }
};

}  // namespace

void ZoomOpen(void* window) {
  ZoomPortWin32 port;
  zoomOpen(port, window);
}

void ZoomClose(void* window) {
  ZoomPortWin32 port;
  zoomClose(port, window);
}

void rememberZoomPointFromCursor() {
  POINT position{};
  const bool read = GetCursorPos(&position) != FALSE;
  ZoomPoint = zoomPointFromCursor(read, position.x, position.y);
}

}  // namespace Sorvanta_B
