// The dots per inch a window is shown at, for the front end's per-monitor aware forms.
#pragma once

#include <windows.h>

namespace sorvanta::controls {

// GetDpiForWindow where the system has it (Windows 10 1607 and later: the scale of the
// monitor the window is on); else the screen's, fixed at sign-in; 96 when neither
// answers.
int WindowDotsPerInch(HWND window);

}  // namespace sorvanta::controls
