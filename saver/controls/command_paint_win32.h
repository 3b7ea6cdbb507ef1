// The Command button's Windows painter: the face kept in an off-screen bitmap between
// paints, the six skins from the program's resources, the caption's font, and the
// hover timer it starts for the button.
#pragma once

#include <windows.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>

#include "exchange/system_dlls_win32.h"
#include "saver/controls/command.h"
#include "saver/controls/length_units.h"
#include "saver/controls/window_dpi_win32.h"
#include "saver/text/ascii_text.h"
#include "saver/text/wide_text_win32.h"

namespace sorvanta::controls {

// TmrMouse, the hover timer.
inline constexpr UINT_PTR kTmrMouseId = 1;

// The skin's resource name: SORVANTA_BUTTON_ and the skin's name in upper case.
inline std::wstring SkinResource(Skin skin) {
  return Sorvanta_B::widen("SORVANTA_BUTTON_" +
                           Sorvanta_B::upperAscii(std::string_view(SkinName(skin))));
}

// The face is kept in an off-screen bitmap between paints; WM_PAINT shows it and draws
// the caption over it, as a windowless label would be drawn.
class CommandPainterWin32 final : public CommandPainter {
 public:
  explicit CommandPainterWin32(HWND window) : window_(window), dpi_(WindowDotsPerInch(window)) {
    HDC screen = GetDC(window_);
    faceDc_ = CreateCompatibleDC(screen);
    skinDc_ = CreateCompatibleDC(screen);
    ReleaseDC(window_, screen);
    for (int i = 0; i < kSkinCount; ++i) {
      skins_[i] = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                  SkinResource(static_cast<Skin>(i)).c_str(),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    setCaptionFont(DefaultCaptionFont());
  }

  ~CommandPainterWin32() override {
    if (faceDc_) {
      SelectObject(faceDc_, oldFaceBitmap_);
      DeleteDC(faceDc_);
    }
    if (skinDc_)
      DeleteDC(skinDc_);
    if (face_)
      DeleteObject(face_);
    for (HBITMAP skin : skins_) {
      if (skin)
        DeleteObject(skin);
    }
    if (font_)
      DeleteObject(font_);
  }

  CommandPainterWin32(const CommandPainterWin32&) = delete;
  CommandPainterWin32& operator=(const CommandPainterWin32&) = delete;

  void resizeFace(int width, int height) {
    HDC screen = GetDC(window_);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width > 0 ? width : 1, height > 0 ? height : 1);
    ReleaseDC(window_, screen);
    if (!bitmap)
      return;
    HGDIOBJ previous = SelectObject(faceDc_, bitmap);
    if (!oldFaceBitmap_)
      oldFaceBitmap_ = previous;
    if (face_)
      DeleteObject(face_);
    face_ = bitmap;
    width_ = width;
    height_ = height;
  }

  void clearFace() override {
    RECT all{0, 0, width_, height_};
    FillRect(faceDc_, &all, GetSysColorBrush(COLOR_BTNFACE));
  }

  // msimg32 is bound on first use, from System32 alone; without it the face keeps
  // its plain button colour.
  void fillGradient(const GradientFill& fill) override {
    if (!msimg32_.available())
      return;
    TRIVERTEX vertices[2] = {
        {fill.x0, fill.y0, fill.top.red, fill.top.green, fill.top.blue, 0},
        {fill.x1, fill.y1, fill.bottom.red, fill.bottom.green, fill.bottom.blue, 0},
    };
    GRADIENT_RECT rect{0, 1};
    ::GradientFill(faceDc_, vertices, 2, &rect, 1, GRADIENT_FILL_RECT_V);
  }

  void copyPiece(Skin skin, const PixelRect& s, const PixelRect& d) override {
    HBITMAP picture = skins_[static_cast<int>(skin)];
    if (!picture)
      return;
    HGDIOBJ previous = SelectObject(skinDc_, picture);
    SetStretchBltMode(faceDc_, COLORONCOLOR);
    StretchBlt(faceDc_, d.x, d.y, d.width, d.height, skinDc_, s.x, s.y, s.width, s.height, SRCCOPY);
    SelectObject(skinDc_, previous);
  }

  void refreshFace() override { InvalidateRect(window_, nullptr, FALSE); }

  void placeCaption(const PixelRect& area) override {
    caption_ = {area.x, area.y, area.x + area.width, area.y + area.height};
    InvalidateRect(window_, nullptr, FALSE);
  }

  void setCaptionEnabled(bool enabled) override {
    captionEnabled_ = enabled;
    InvalidateRect(window_, nullptr, FALSE);
  }

  void setCaptionText(const std::string& utf8) override {
    text_ = Sorvanta_B::widen(utf8);
    InvalidateRect(window_, nullptr, FALSE);
  }

  void setCaptionFont(const CaptionFont& font) override {
    captionFont_ = font;
    LOGFONTW description{};
    // The caption is as large as the dialog's labels, whose fonts follow the window's
    // dots per inch; the face itself keeps its 15 twips to the pixel.
    description.lfHeight = -pixelsFromPoints(font.sizePoints, dpi_);
    description.lfWeight = font.weight;
    description.lfItalic = font.italic;
    description.lfUnderline = font.underline;
    description.lfStrikeOut = font.strikethrough;
    description.lfCharSet = static_cast<BYTE>(font.charset);
    const std::wstring face = Sorvanta_B::widen(font.faceName);
    lstrcpynW(description.lfFaceName, face.c_str(), LF_FACESIZE);
    HFONT created = CreateFontIndirectW(&description);
    if (!created)
      return;
    if (font_)
      DeleteObject(font_);
    font_ = created;
    InvalidateRect(window_, nullptr, FALSE);
  }

  void setCaptionColour(std::uint32_t colour) override {
    colour_ = static_cast<COLORREF>(colour & 0x00FFFFFF);
    InvalidateRect(window_, nullptr, FALSE);
  }

  void setFaceOpaque(bool opaque) override {
    opaque_ = opaque;
    InvalidateRect(window_, nullptr, FALSE);
  }

  void startHoverTimer(int intervalMs) override {
    SetTimer(window_, kTmrMouseId, static_cast<UINT>(intervalMs), nullptr);
  }

  // The host's handler when it set one, else the parent's WM_COMMAND as from a button.
  void raiseClick() override {
    if (clickHandler_) {
      clickHandler_();
      return;
    }
    SendMessageW(GetParent(window_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_), BN_CLICKED),
                 reinterpret_cast<LPARAM>(window_));
  }
  // The front end's forms create their buttons afresh each time and write no stored
  // properties back, so a changed property needs no record here.
  void propertyChanged() override {}

  void setClickHandler(std::function<void()> handler) { clickHandler_ = std::move(handler); }

  // A change of the window's scale: the caption's font again at the new dots per inch.
  void setDotsPerInch(int dpi) {
    dpi_ = dpi > 0 ? dpi : kStandardDotsPerInch;
    setCaptionFont(captionFont_);
  }

  void paint(HDC target) const {
    if (opaque_) {
      BitBlt(target, 0, 0, width_, height_, faceDc_, 0, 0, SRCCOPY);
    } else {
      RECT all{0, 0, width_, height_};
      FillRect(target, &all, ParentBackground());
    }
    drawCaption(target);
  }

 private:
  HBRUSH ParentBackground() const {
    auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(GetParent(window_), GCLP_HBRBACKGROUND));
    return brush ? brush : GetSysColorBrush(COLOR_BTNFACE);
  }

  // LblMsg, the caption label: it has no window, so it is drawn over the face.
  void drawCaption(HDC target) const {
    HGDIOBJ previous = SelectObject(target, font_);
    SetBkMode(target, TRANSPARENT);
    const UINT format = DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
    RECT area = captionAtWindowDpi();
    if (captionEnabled_) {
      SetTextColor(target, colour_);
      DrawTextW(target, text_.c_str(), static_cast<int>(text_.size()), &area, format);
    } else {
      // Greyed as a disabled label: a light copy one pixel down-right, grey on top.
      RECT shadow = area;
      OffsetRect(&shadow, 1, 1);
      SetTextColor(target, GetSysColor(COLOR_3DHILIGHT));
      DrawTextW(target, text_.c_str(), static_cast<int>(text_.size()), &shadow, format);
      SetTextColor(target, GetSysColor(COLOR_GRAYTEXT));
      DrawTextW(target, text_.c_str(), static_cast<int>(text_.size()), &area, format);
    }
    SelectObject(target, previous);
  }

  // The caption area grown about its middle as the font grows above 96 dots per inch,
  // so a larger caption stays centred and is not cut.
  RECT captionAtWindowDpi() const {
    RECT area = caption_;
    const int height = caption_.bottom - caption_.top;
    const int grown = static_cast<int>(std::lround(height * dpi_ / 96.0));
    area.top -= (grown - height) / 2;
    area.bottom = area.top + grown;
    return area;
  }

  HWND window_;
  int dpi_;
  std::function<void()> clickHandler_;
  HDC faceDc_ = nullptr;
  HDC skinDc_ = nullptr;
  HBITMAP face_ = nullptr;
  HGDIOBJ oldFaceBitmap_ = nullptr;
  std::array<HBITMAP, kSkinCount> skins_{};
  HFONT font_ = nullptr;
  CaptionFont captionFont_;
  int width_ = 0, height_ = 0;
  RECT caption_{};
  bool captionEnabled_ = true;
  bool opaque_ = true;
  std::wstring text_;
  COLORREF colour_ = 0;
  exchange::SystemDll msimg32_{L"msimg32.dll"};
};

}  // namespace sorvanta::controls
