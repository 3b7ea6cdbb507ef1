// The renderer's pixel format: double-buffered RGBA with 32 colour, 24 depth and
// 8 stencil bits (the mirror needs the stencil).
#pragma once

#include <windows.h>

// Chooses and sets that format on the device context; false when either step fails.
bool setupPixelFormat(HDC dc);
