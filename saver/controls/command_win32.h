// The Command button as a Windows control: window class "Sorvanta.Command", painted
// with GDI from the skins carried as resources. A click is sent to the parent as
// WM_COMMAND with BN_CLICKED and the control's id.
#pragma once

#include <windows.h>

#include <functional>

#include "saver/controls/command.h"

namespace sorvanta::controls {

inline constexpr wchar_t kCommandClassName[] = L"Sorvanta.Command";

// Registers the window class once per process; true when it is (or already was) there.
bool RegisterCommandClass(HINSTANCE instance);

// Creates a button that reads its stored properties from bag (null: all defaults),
// with ambientFont as the host's font. The host calls Initialize on it afterwards.
HWND CreateCommand(HWND parent, int id, const RECT& pixels, const PropertyBag* bag,
                   const CaptionFont& ambientFont);

// A change of the screen's scale: the caption's font at the new dots per inch, the
// button at its new place (SetWindowPos with flags added), and its face painted there
// with the look it had. False when button is not a Command window.
bool ScaleCommand(HWND button, const RECT& pixels, int dotsPerInch, UINT flags);

// Routes the button's Click to handler instead of WM_COMMAND/BN_CLICKED to the parent;
// false when button is not a Command window.
bool SetClickHandler(HWND button, std::function<void()> handler);

// The control behind a button window, or null for any other window.
Command* CommandOf(HWND button);

}  // namespace sorvanta::controls
