// The covers of the other monitors: see monitor_covers_win32.h.
#include "monitor_covers_win32.h"

#include <vector>

namespace sorvanta {

namespace {

// Neither the scene's class nor its caption: the front end finds the scene window by
// caption alone, and a cover must never be mistaken for it.
constexpr char kCoverClassName[] = "SorvantaMonitorCover";
constexpr DWORD kCoverExtendedStyle = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;

struct CoverState {
  std::vector<HWND> covers;
  bool opened = false;  // covers were wanted: a display change covers the monitors again
};

CoverState coverState;

LRESULT CALLBACK coverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      // The click is eaten and the scene window keeps the activation and the keys.
      return MA_NOACTIVATEANDEAT;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return TRUE;
    case WM_CLOSE:
      // Closed alone, a cover would bare its monitor while the saver runs; it goes
      // only with the scene window.
      return 0;
    default:
      // The class's black brush paints the background; nothing is drawn per frame.
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

HINSTANCE instanceOf(HWND window) {
  return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}

bool registerCoverClass(HINSTANCE instance) {
  WNDCLASSEXA coverClass{};
  coverClass.cbSize = sizeof coverClass;
  coverClass.lpfnWndProc = coverWindowProc;
  coverClass.hInstance = instance;
  coverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  coverClass.lpszClassName = kCoverClassName;
  return RegisterClassExA(&coverClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool contains(const RECT& outer, const RECT& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

struct Enumeration {
  RECT sceneRect;
  std::vector<RECT> bare;  // the monitors the scene window does not fill
};

BOOL CALLBACK collectBareMonitor(HMONITOR, HDC, LPRECT monitorRect, LPARAM data) {
  auto& enumeration = *reinterpret_cast<Enumeration*>(data);
  if (!contains(enumeration.sceneRect, *monitorRect)) {
    enumeration.bare.push_back(*monitorRect);
  }
  return TRUE;
}

std::vector<RECT> bareMonitors(HWND sceneWindow) {
  Enumeration enumeration{};
  GetWindowRect(sceneWindow, &enumeration.sceneRect);
  EnumDisplayMonitors(nullptr, nullptr, collectBareMonitor, reinterpret_cast<LPARAM>(&enumeration));
  return enumeration.bare;
}

// Shown without activation and painted at once, black, over the monitor's rectangle.
HWND createCover(HWND sceneWindow, const RECT& monitor) {
  HWND cover =
      CreateWindowExA(kCoverExtendedStyle, kCoverClassName, "", WS_POPUP, monitor.left, monitor.top,
                      monitor.right - monitor.left, monitor.bottom - monitor.top, sceneWindow,
                      nullptr, instanceOf(sceneWindow), nullptr);
  if (cover != nullptr) {
    SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(cover);
  }
  return cover;
}

std::vector<HWND> coverBareMonitors(HWND sceneWindow) {
  std::vector<HWND> covers;
  for (const RECT& monitor : bareMonitors(sceneWindow)) {
    if (HWND cover = createCover(sceneWindow, monitor)) {
      covers.push_back(cover);
    }
  }
  return covers;
}

}  // namespace

void openMonitorCovers(HWND sceneWindow) {
  coverState.opened = true;
  if (registerCoverClass(instanceOf(sceneWindow))) {
    coverState.covers = coverBareMonitors(sceneWindow);
  }
}

void coverMonitorsAgain(HWND sceneWindow) {
  if (!coverState.opened) {
    return;
  }
  const std::vector<HWND> old = coverState.covers;
  coverState.covers = coverBareMonitors(sceneWindow);
  for (HWND cover : old) {
    DestroyWindow(cover);
  }
}

}  // namespace sorvanta
