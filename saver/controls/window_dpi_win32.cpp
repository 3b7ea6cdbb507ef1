#include "saver/controls/window_dpi_win32.h"

#include "saver/controls/length_units.h"

namespace sorvanta::controls {
namespace {

using GetDpiForWindowCall = UINT(WINAPI*)(HWND);

// Looked up at run time: a direct import would stop the program loading on older
// systems, which lack the call.
GetDpiForWindowCall getDpiForWindow() {
  static const GetDpiForWindowCall call = [] {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    FARPROC found = user32 ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
    return reinterpret_cast<GetDpiForWindowCall>(reinterpret_cast<void*>(found));
  }();
  return call;
}

int screenDotsPerInch(HWND window) {
  HDC screen = GetDC(window);
  if (!screen)
    return 0;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(window, screen);
  return dpi;
}

}  // namespace

int WindowDotsPerInch(HWND window) {
  int dpi = 0;
  if (const GetDpiForWindowCall call = getDpiForWindow())
    dpi = static_cast<int>(call(window));
  if (dpi <= 0)
    dpi = screenDotsPerInch(window);
  return dpi > 0 ? dpi : kStandardDotsPerInch;
}

}  // namespace sorvanta::controls
