#include "saver/dialog/dialog_dpi_win32.h"

#include "saver/controls/command_win32.h"
#include "saver/controls/window_dpi_win32.h"

namespace Sorvanta_P {
namespace {

// Moved without drawing: changeScale repaints everything once at the end.
constexpr UINT kQuietMove = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;

void placeWindow(HWND window, const PixelBox& box) {
  SetWindowPos(window, nullptr, box.left, box.top, box.width(), box.height(), kQuietMove);
}

void placeButton(HWND button, const DialogLayout& layout, const TwipPlace& place) {
  const PixelBox box = layout.box(place);
  sorvanta::controls::ScaleCommand(button, RECT{box.left, box.top, box.right, box.bottom},
                                   layout.dotsPerInch(), SWP_NOREDRAW);
}

// Resizes the window, keeping its top-left corner, so that its client area is the
// layout's; nothing when it already is. flags are added to SetWindowPos's.
void fitClientArea(HWND window, const DialogLayout& layout, UINT flags) {
  RECT outer{};
  RECT client{};
  if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client))
    return;
  const PixelBox wanted = layout.box(kClientPlace);
  const int growX = wanted.width() - client.right;
  const int growY = wanted.height() - client.bottom;
  if (growX == 0 && growY == 0)
    return;
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + growX,
               outer.bottom - outer.top + growY,
               flags | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void takeWindowScale(HWND window, SettingsDialog& dialog, DialogPainter& painter) {
  if (!dialog.rescale(sorvanta::controls::WindowDotsPerInch(window)))
    return;
  painter.rescale(nullptr);
  fitClientArea(window, dialog.layout(), 0);
}

void changeScale(const DialogWindows& windows, SettingsDialog& dialog, DialogPainter& painter,
                 int dotsPerInch, const RECT* suggested) {
  if (!dialog.rescale(dotsPerInch))
    return;
  const DialogLayout& layout = dialog.layout();
  painter.rescale(windows.repeatCombo);
  if (suggested) {
    SetWindowPos(windows.window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 kQuietMove);
  }
  // The suggestion is made for the system's frame at the new scale; the client area is
  // what the layout needs, whichever frame the window has.
  fitClientArea(windows.window, layout, SWP_NOREDRAW);
  placeWindow(windows.panel, layout.box(kPanelPlace));
  // The combo's height is its list's; its edit part takes its height from the font.
  PixelBox combo = layout.box(kRepeatCombo);
  combo.bottom = combo.top + layout.pixels(kRepeatDropDownTwips);
  placeWindow(windows.repeatCombo, combo);
  placeButton(windows.fileButton, layout, kFileButton);
  placeButton(windows.setButton, layout, kSetPlace);
  placeButton(windows.cancelButton, layout, kCancelPlace);
  // The window's new size has redrawn its background (WM_SIZE) with the new fonts.
  RedrawWindow(windows.window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace Sorvanta_P
