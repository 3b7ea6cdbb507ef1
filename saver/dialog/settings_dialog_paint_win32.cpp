#include "saver/dialog/settings_dialog_paint_win32.h"

#include <initializer_list>
#include <vector>

#include "saver/text/wide_text_win32.h"

namespace Sorvanta_P {
namespace {

using Sorvanta_B::widen;

constexpr COLORREF kPanelGrey = RGB(0xE0, 0xE0, 0xE0);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBlack = RGB(0, 0, 0);

HFONT makeFont(int height, const char* face, BYTE charset, bool underline) {
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE, charset,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, widen(face).c_str());
}

HBITMAP loadBitmap(HINSTANCE instance, const wchar_t* name) {
  return static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

SIZE bitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
    return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight};
}

// Draws a windowless label: transparent, in the given font and colour. Single-line
// labels are not clipped, so a wider substitute font does not cut their text.
void drawLabel(HDC target, HFONT font, COLORREF colour, RECT area, const std::string& text,
               UINT format) {
  const HGDIOBJ oldFont = SelectObject(target, font);
  SetBkMode(target, TRANSPARENT);
  SetTextColor(target, colour);
  const std::wstring wide = widen(text);
  const UINT clip = (format & DT_SINGLELINE) ? DT_NOCLIP : 0u;
  DrawTextW(target, wide.c_str(), static_cast<int>(wide.size()), &area,
            format | DT_NOPREFIX | clip);
  SelectObject(target, oldFont);
}

// Copies a bitmap whole to each of the given places.
void drawBitmap(HDC target, HBITMAP bitmap, const std::vector<PixelPoint>& places) {
  const SIZE size = bitmapSize(bitmap);
  HDC source = CreateCompatibleDC(target);
  if (!source)
    return;
  const HGDIOBJ old = SelectObject(source, bitmap);
  for (const PixelPoint& at : places)
    BitBlt(target, at.x, at.y, size.cx, size.cy, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

// The pictures are drawn for 96 dots per inch. At other densities they are scaled with
// the layout, smoothed: the marks keep their size beside the labels, and the panel's
// strip still covers the panel in one column, without a seam. Takes the picture.
HBITMAP scaledToDpi(HBITMAP picture, int dpi) {
  const SIZE size = bitmapSize(picture);
  if (dpi == 96 || size.cx == 0 || size.cy == 0)
    return picture;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = MulDiv(size.cx, dpi, 96);
  info.bmiHeader.biHeight = MulDiv(size.cy, dpi, 96);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP scaled = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC source = CreateCompatibleDC(nullptr);
  HDC target = CreateCompatibleDC(nullptr);
  if (scaled && source && target) {
    const HGDIOBJ oldSource = SelectObject(source, picture);
    const HGDIOBJ oldTarget = SelectObject(target, scaled);
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, source, 0, 0, size.cx,
               size.cy, SRCCOPY);
    SelectObject(target, oldTarget);
    SelectObject(source, oldSource);
  }
  if (source)
    DeleteDC(source);
  if (target)
    DeleteDC(target);
  if (!scaled)
    return picture;
  DeleteObject(picture);
  return scaled;
}

void drawFrame(HDC target, const RECT& frame) {
  const HGDIOBJ oldPen = SelectObject(target, GetStockObject(BLACK_PEN));
  const HGDIOBJ oldBrush = SelectObject(target, GetStockObject(NULL_BRUSH));
  Rectangle(target, frame.left, frame.top, frame.right, frame.bottom);
  SelectObject(target, oldBrush);
  SelectObject(target, oldPen);
}

}  // namespace

DialogPainter::DialogPainter(HINSTANCE instance, const DialogLayout& layout, HDC surface)
    : instance_(instance), layout_(layout), surface_(surface) {
  makeScaledObjects();
  icon_ = static_cast<HICON>(LoadImageW(instance, L"SORVANTA_WINDOW_ICON", IMAGE_ICON, 32, 32, 0));
  linkCursor_ =
      static_cast<HCURSOR>(LoadImageW(instance, L"SORVANTA_LINK_CURSOR", IMAGE_CURSOR, 0, 0, 0));
}

DialogPainter::~DialogPainter() {
  if (surface_) {
    if (surfaceBitmap_)
      SelectObject(surface_, surfaceOld_);
    DeleteDC(surface_);
  }
  if (surfaceBitmap_)
    DeleteObject(surfaceBitmap_);
  deleteScaledObjects();
  if (icon_)
    DestroyIcon(icon_);
  if (linkCursor_)
    DestroyCursor(linkCursor_);
}

// The fonts at the layout's dots per inch, and the pictures scaled from the program's
// own 96-dpi ones (never from an earlier scaling, so changes back and forth keep them
// sharp).
void DialogPainter::makeScaledObjects() {
  labelFont_ = makeFont(layout_.labelFontHeight(), kLabelFace, SHIFTJIS_CHARSET, false);
  linkFont_ = makeFont(layout_.labelFontHeight(), kLabelFace, SHIFTJIS_CHARSET, true);
  panelFont_ = makeFont(layout_.panelFontHeight(), kPanelFace, DEFAULT_CHARSET, false);
  const int dpi = layout_.dotsPerInch();
  markNotChosen_ = scaledToDpi(loadBitmap(instance_, L"SORVANTA_MARK_NOT_CHOSEN"), dpi);
  markChosen_ = scaledToDpi(loadBitmap(instance_, L"SORVANTA_MARK_CHOSEN"), dpi);
  strip_ = scaledToDpi(loadBitmap(instance_, L"SORVANTA_PANEL_STRIP"), dpi);
}

void DialogPainter::deleteScaledObjects() {
  for (HGDIOBJ object : std::initializer_list<HGDIOBJ>{labelFont_, linkFont_, panelFont_,
                                                       markNotChosen_, markChosen_, strip_}) {
    if (object)
      DeleteObject(object);
  }
}

void DialogPainter::rescale(HWND panelFontUser) {
  const HFONT oldPanelFont = panelFont_;
  panelFont_ = nullptr;
  deleteScaledObjects();
  makeScaledObjects();
  // The control lets go of the old font before it is deleted.
  if (panelFontUser)
    SendMessageW(panelFontUser, WM_SETFONT, reinterpret_cast<WPARAM>(panelFont_), FALSE);
  if (oldPanelFont)
    DeleteObject(oldPanelFont);
}

RECT DialogPainter::rect(const TwipPlace& place) const {
  const PixelBox box = layout_.box(place);
  return RECT{box.left, box.top, box.right, box.bottom};
}

// Pic_C: grey, the texture strip tiled over it (TileTexture), the framed heading, the
// kinds' marks and labels, the repeat label and the file's path.
void DialogPainter::drawPanel(HDC target, const RECT& client, int chosenMark,
                              const std::string& fileText) const {
  HBRUSH grey = CreateSolidBrush(kPanelGrey);
  FillRect(target, &client, grey);
  DeleteObject(grey);
  const SIZE strip = bitmapSize(strip_);
  drawBitmap(target, strip_, tileCopyPositions(client.right, client.bottom, strip.cx, strip.cy));
  drawFrame(target, rect(kHeadingFrame));
  drawLabel(target, labelFont_, kBlack, rect(kHeadingLabel), kHeadingText,
            DT_CENTER | DT_SINGLELINE);
  for (int kind = 0; kind < kKindCount; ++kind) {
    const RECT mark = rect(kKindMarks[kind]);
    drawBitmap(target, chosenMark == kind ? markChosen_ : markNotChosen_, {{mark.left, mark.top}});
    drawLabel(target, labelFont_, kBlack, rect(kKindLabels[kind]), kKindTexts[kind], DT_SINGLELINE);
  }
  drawLabel(target, labelFont_, kBlack, rect(kRepeatLabel), kRepeatLabelText, DT_SINGLELINE);
  drawLabel(target, labelFont_, kBlack, rect(kFileLabel), fileText, DT_WORDBREAK | DT_EDITCONTROL);
}

void DialogPainter::paintPanel(HWND panel, int chosenMark, const std::string& fileText) const {
  PAINTSTRUCT ps;
  HDC target = BeginPaint(panel, &ps);
  if (!target)
    return;
  RECT client{};
  GetClientRect(panel, &client);
  // Drawn off screen first so that a repaint does not flicker through the grey.
  HDC buffer = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
  if (buffer && bitmap) {
    const HGDIOBJ old = SelectObject(buffer, bitmap);
    drawPanel(buffer, client, chosenMark, fileText);
    BitBlt(target, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
    SelectObject(buffer, old);
  } else {
    drawPanel(target, client, chosenMark, fileText);
  }
  if (bitmap)
    DeleteObject(bitmap);
  if (buffer)
    DeleteDC(buffer);
  EndPaint(panel, &ps);
}

// Navy to lavender to navy, row by row, then the credit line and the link.
void DialogPainter::drawBackground(HWND window, int width, int height) {
  if (!surface_)
    return;
  if (surfaceBitmap_) {
    SelectObject(surface_, surfaceOld_);
    DeleteObject(surfaceBitmap_);
  }
  HDC screen = GetDC(window);
  surfaceBitmap_ = CreateCompatibleBitmap(screen, width + 1, height + 1);
  ReleaseDC(window, screen);
  surfaceOld_ = SelectObject(surface_, surfaceBitmap_);
  for (int y = 0; y <= height; ++y) {
    const RowColour colour = backgroundRowColour(y, height);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(colour.red, colour.green, colour.blue));
    const HGDIOBJ old = SelectObject(surface_, pen);
    MoveToEx(surface_, 0, y, nullptr);
    LineTo(surface_, width, y);
    SelectObject(surface_, old);
    DeleteObject(pen);
  }
  drawLabel(surface_, labelFont_, kWhite, rect(kCreditPlace), kCreditLine, DT_SINGLELINE);
  drawLabel(surface_, linkFont_, kWhite, rect(kLinkPlace), kWebAddress, DT_SINGLELINE);
  InvalidateRect(window, nullptr, FALSE);
}

void DialogPainter::paintWindow(HWND window) const {
  PAINTSTRUCT ps;
  HDC target = BeginPaint(window, &ps);
  if (target && surface_) {
    const RECT& dirty = ps.rcPaint;
    BitBlt(target, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
           surface_, dirty.left, dirty.top, SRCCOPY);
  }
  EndPaint(window, &ps);
}

}  // namespace Sorvanta_P
