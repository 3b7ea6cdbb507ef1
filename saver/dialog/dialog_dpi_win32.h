// The settings dialog on a monitor of another scale: its windows laid out again at a new
// dots per inch, as WM_DPICHANGED asks, and the window's client area kept at the
// layout's size whatever frame the system gives it.
#pragma once

#include <windows.h>

#include "saver/dialog/settings_dialog.h"
#include "saver/dialog/settings_dialog_paint_win32.h"

namespace Sorvanta_P {

// The windows the dialog places.
struct DialogWindows {
  HWND window = nullptr;
  HWND panel = nullptr;
  HWND repeatCombo = nullptr;
  HWND fileButton = nullptr;
  HWND setButton = nullptr;
  HWND cancelButton = nullptr;
};

// Just after the window is created, before its controls: the dialog takes the window's
// own dots per inch (its monitor's, where the system knows one per monitor) when it is
// not the screen's, with fonts, pictures and client area to match.
void takeWindowScale(HWND window, SettingsDialog& dialog, DialogPainter& painter);

// WM_DPICHANGED: at a new dots per inch, the painter's fonts and pictures, the window at
// the suggested outer rectangle (may be null: where it is) with the layout's client area,
// every control at its new place, and one repaint of it all. Focus, the choice and the
// combo's text are not touched. Nothing at all when the scale is unchanged.
void changeScale(const DialogWindows& windows, SettingsDialog& dialog, DialogPainter& painter,
                 int dotsPerInch, const RECT* suggested);

}  // namespace Sorvanta_P
