#include "saver/dialog/zoom_win32.h"

#include <windows.h>

#include "saver/dialog/zoom.h"

namespace Sorvanta_B {
namespace {

// A rectangle that cannot be read stays all zeros.
ZoomRect outerRectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return ZoomRect{rect.left, rect.top, rect.right, rect.bottom};
}

RECT toRect(const ZoomRect& rect) {
  return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

void animate(HWND window, const ZoomAnimation& animation) {
  const RECT from = toRect(animation.from);
  const RECT to = toRect(animation.to);
  DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

}  // namespace

void ZoomOpen(void* window) {
  const HWND handle = static_cast<HWND>(window);
  animate(handle, zoomOpenRects(ZoomPoint, outerRectOf(handle)));
}

void ZoomClose(void* window) {
  const HWND handle = static_cast<HWND>(window);
  animate(handle, zoomCloseRects(ZoomPoint, outerRectOf(handle)));
}

void rememberZoomPointFromCursor() {
  POINT position{};
  const bool read = GetCursorPos(&position) != FALSE;
  ZoomPoint = zoomPointFromCursor(read, position.x, position.y);
}

}  // namespace Sorvanta_B
