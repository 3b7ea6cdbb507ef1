// The settings dialog's drawing with GDI: its fonts and pictures, the panel (texture,
// heading, kind marks and labels, file label) and the window's background with the
// credit line and the link, kept on a persistent surface so that it survives repaints.
#pragma once

#include <windows.h>

#include <string>

#include "saver/dialog/settings_dialog.h"

namespace Sorvanta_P {

class DialogPainter {
 public:
  // Makes the fonts for the layout's dots per inch and loads the pictures, icon and
  // link cursor from the program's resources. surface (may be null) is a memory
  // context compatible with the screen; the painter owns it from here on.
  DialogPainter(HINSTANCE instance, const DialogLayout& layout, HDC surface);
  ~DialogPainter();
  DialogPainter(const DialogPainter&) = delete;
  DialogPainter& operator=(const DialogPainter&) = delete;

  // After the layout's dots per inch has changed: the fonts and pictures again at the new
  // scale; panelFontUser (may be null) is given the new panel font.
  void rescale(HWND panelFontUser);

  HFONT panelFont() const { return panelFont_; }
  HICON icon() const { return icon_; }
  HCURSOR linkCursor() const { return linkCursor_; }

  // The panel's WM_PAINT.
  void paintPanel(HWND panel, int chosenMark, const std::string& fileText) const;
  // On every resize of the window: redraws the background on the surface.
  void drawBackground(HWND window, int width, int height);
  // The window's WM_PAINT: copies the surface.
  void paintWindow(HWND window) const;

 private:
  void drawPanel(HDC target, const RECT& client, int chosenMark, const std::string& fileText) const;
  RECT rect(const TwipPlace& place) const;
  void makeScaledObjects();
  void deleteScaledObjects();

  HINSTANCE instance_;
  const DialogLayout& layout_;
  HFONT labelFont_ = nullptr;
  HFONT linkFont_ = nullptr;
  HFONT panelFont_ = nullptr;
  HBITMAP markNotChosen_ = nullptr;  // Img_Ra (0)
  HBITMAP markChosen_ = nullptr;     // Img_Ra (1)
  HBITMAP strip_ = nullptr;          // Pic_Tex
  HICON icon_ = nullptr;
  HCURSOR linkCursor_ = nullptr;
  HDC surface_ = nullptr;
  HBITMAP surfaceBitmap_ = nullptr;
  HGDIOBJ surfaceOld_ = nullptr;
};

}  // namespace Sorvanta_P
