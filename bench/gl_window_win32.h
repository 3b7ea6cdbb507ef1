// What the Windows benchmarks draw into: a borderless window at the screen's top-left
// with an OpenGL context in the renderer's pixel format, made current.
#pragma once

#include <windows.h>

#include "pixel_format_win32.h"

namespace sorvanta::bench {

struct GlWindow {
  HWND window = nullptr;
  HDC dc = nullptr;
  HGLRC context = nullptr;
};

// Registers the class, opens the window and makes its context current; false when any
// step fails (nothing is then current).
inline bool openGlWindow(const char* className, const char* title, WNDPROC windowProc, int width,
                         int height, GlWindow& gl) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);
  gl.window = CreateWindowExA(0, className, title, WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                              nullptr, nullptr, instance, nullptr);
  gl.dc = gl.window != nullptr ? GetDC(gl.window) : nullptr;
  if (gl.dc == nullptr || !setupPixelFormat(gl.dc)) {
    return false;
  }
  gl.context = wglCreateContext(gl.dc);
  return gl.context != nullptr && wglMakeCurrent(gl.dc, gl.context);
}

inline void closeGlContext(const GlWindow& gl) {
  wglMakeCurrent(nullptr, nullptr);
  if (gl.context != nullptr) {
    wglDeleteContext(gl.context);
  }
}

}  // namespace sorvanta::bench
