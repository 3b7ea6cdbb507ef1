// Where the hack draws: its own top-level window, or a window handed to it (by
// -window-id, or by XScreenSaver through $XSCREENSAVER_WINDOW), drawn into directly
// when its visual suits GL, else through a child window of a visual that does.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "hack_options.h"

namespace sorvanta::hack {

struct Surface {
  Window drawable = None;  // where GL draws
  Window followed = None;  // the given window whose size the child follows, or None
  bool own = false;        // a top-level window of the hack's own
  XVisualInfo* visual = nullptr;
  int width = 0;
  int height = 0;
};

// A top-level window of the -geometry size, titled "Sorvanta", that asks the window
// manager for WM_DELETE_WINDOW; not yet mapped.
bool makeOwnWindow(Display* display, const Options& options, Surface& surface);

// A window handed to the hack. It draws there directly when the window's visual has
// what the scene needs; otherwise into a child of a suitable visual that covers it,
// not yet mapped (so that a photograph of the root taken first shows the desktop).
bool useGivenWindow(Display* display, Window given, Surface& surface);

// Whether a window of that id exists; asked before the hack's own X error handler is
// in place, which takes a missing window for the daemon's having taken it away.
bool windowExists(Display* display, Window window);

// The window XScreenSaver names in $XSCREENSAVER_WINDOW, else the root window.
Window windowFromEnvironment(Display* display);

}  // namespace sorvanta::hack
