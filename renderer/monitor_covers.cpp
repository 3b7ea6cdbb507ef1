#include "monitor_covers.h"

namespace sorvanta {

CoverLayout layOutCovers(const std::vector<ScreenRect>& monitors, const ScreenRect& sceneMonitor,
                         const ScreenRect& sceneWindow, bool fullscreen) {
  CoverLayout layout;
  if (!fullscreen) {
    layout.sceneWindow = sceneWindow;
    return layout;
  }
  layout.sceneWindow = sceneMonitor;
  for (const ScreenRect& monitor : monitors) {
    if (!(monitor == sceneMonitor)) {
      layout.covers.push_back(monitor);
    }
  }
  return layout;
}

}  // namespace sorvanta
