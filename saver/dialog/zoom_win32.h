// The caption-zoom animation of a window (DrawAnimatedRects with IDANI_CAPTION)
// between ZoomPoint and the window's outer rectangle. The window is an HWND passed
// as an opaque pointer so that this header needs no <windows.h>.
#pragma once

namespace Sorvanta_B {

void ZoomOpen(void* window);
void ZoomClose(void* window);

// Stores the mouse position in ZoomPoint, or (0, 0) when it cannot be read.
void rememberZoomPointFromCursor();

}  // namespace Sorvanta_B
