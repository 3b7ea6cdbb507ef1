// Black covers over the monitors that the full-screen scene leaves bare, so that no
// other monitor goes on showing the live desktop, readable and usable, while the saver
// runs.
#pragma once

#include <windows.h>

namespace sorvanta {

// Covers every monitor but the scene window's own (monitor_covers.h) with a black,
// borderless, topmost popup owned by the scene window: painted once, never
// activated (a click on it is eaten), the pointer hidden over it, and no caption, so
// that only the scene window is found by its caption. Being owned, the covers go in
// the scene window's own DestroyWindow.
void openMonitorCovers(HWND sceneWindow);

// After a display change has moved, added or removed monitors, or reset the mode: the
// scene window fills its monitor again, the new layout is covered, then the old covers
// close, so that no monitor is bare in between. Does nothing when no covers were opened
// (the windowed scene leaves the desktop as it is) or once they were closed.
void coverMonitorsAgain(HWND sceneWindow);

// Before the user's display mode is restored at the end: the covers go, and the display
// change the restore makes covers nothing again.
void closeMonitorCovers();

}  // namespace sorvanta
