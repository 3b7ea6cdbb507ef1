// The covers of the other monitors: see monitor_covers_win32.h.
#include "monitor_covers_win32.h"

#include <vector>

#include "monitor_covers.h"

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

ScreenRect screenRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

BOOL CALLBACK collectMonitor(HMONITOR, HDC, LPRECT monitorRect, LPARAM data) {
  reinterpret_cast<std::vector<ScreenRect>*>(data)->push_back(screenRect(*monitorRect));
  return TRUE;
}

// The layout of the monitors as they are now, for the scene window where it is now.
CoverLayout currentLayout(HWND sceneWindow) {
  std::vector<ScreenRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&monitors));
  RECT window{};
  GetWindowRect(sceneWindow, &window);
  MONITORINFO sceneMonitor{};
  sceneMonitor.cbSize = sizeof sceneMonitor;
  if (!GetMonitorInfoW(MonitorFromWindow(sceneWindow, MONITOR_DEFAULTTONEAREST), &sceneMonitor)) {
    sceneMonitor.rcMonitor = window;  // no monitor known: the window stays where it is
  }
  return layOutCovers(monitors, screenRect(sceneMonitor.rcMonitor), screenRect(window), true);
}

// Resizing sends WM_SIZE, and the scene follows the new size.
void placeSceneWindow(HWND sceneWindow, const ScreenRect& place) {
  RECT window{};
  GetWindowRect(sceneWindow, &window);
  if (!(screenRect(window) == place)) {
    SetWindowPos(sceneWindow, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// Shown without activation and painted at once, black, over the monitor's rectangle.
HWND createCover(HWND sceneWindow, const ScreenRect& monitor) {
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

std::vector<HWND> createCovers(HWND sceneWindow, const std::vector<ScreenRect>& monitors) {
  std::vector<HWND> covers;
  for (const ScreenRect& monitor : monitors) {
    if (HWND cover = createCover(sceneWindow, monitor)) {
      covers.push_back(cover);
    }
  }
  return covers;
}

void destroyCovers(const std::vector<HWND>& covers) {
  for (HWND cover : covers) {
    DestroyWindow(cover);
  }
}

}  // namespace

void openMonitorCovers(HWND sceneWindow) {
  coverState.opened = true;
  if (registerCoverClass(instanceOf(sceneWindow))) {
    const CoverLayout layout = currentLayout(sceneWindow);
    placeSceneWindow(sceneWindow, layout.sceneWindow);
    coverState.covers = createCovers(sceneWindow, layout.covers);
  }
}

void coverMonitorsAgain(HWND sceneWindow) {
  if (!coverState.opened) {
    return;
  }
  const CoverLayout layout = currentLayout(sceneWindow);
  placeSceneWindow(sceneWindow, layout.sceneWindow);
  const std::vector<HWND> old = coverState.covers;
  coverState.covers = createCovers(sceneWindow, layout.covers);
  destroyCovers(old);
}

void closeMonitorCovers() {
  coverState.opened = false;
  destroyCovers(coverState.covers);
  coverState.covers.clear();
}

}  // namespace sorvanta
