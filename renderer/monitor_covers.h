// Which windows cover what while the scene runs full screen: the scene window fills the
// monitor it is on, and every other monitor is covered black, so that none goes on
// showing the live desktop. Portable: the Windows shell (monitor_covers_win32.cpp)
// asks for the monitors and moves the windows.
#pragma once

#include <vector>

namespace sorvanta {

// A rectangle in virtual-screen pixels, right and bottom exclusive (as a RECT).
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool operator==(const ScreenRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

struct CoverLayout {
  ScreenRect sceneWindow;          // where the scene window is to be
  std::vector<ScreenRect> covers;  // one black cover per monitor, in the monitors' order
};

// monitors: every monitor, as the system lists them; sceneMonitor: the monitor the scene
// window is on (MonitorFromWindow). Full screen, the scene window takes the scene
// monitor's rectangle (when the mode was lost and the monitor grew past it, it fills it
// again; a monitor that shrank holds it whole), and every other monitor is covered,
// the scene's own never. Windowed, nothing is covered and the window stays as it is.
CoverLayout layOutCovers(const std::vector<ScreenRect>& monitors, const ScreenRect& sceneMonitor,
                         const ScreenRect& sceneWindow, bool fullscreen);

}  // namespace sorvanta
