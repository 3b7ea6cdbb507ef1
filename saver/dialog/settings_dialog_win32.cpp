#include "saver/dialog/settings_dialog_win32.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <array>
#include <cmath>
#include <string>

#include "saver/controls/command_win32.h"
#include "saver/dialog/dialog_rules.h"
#include "saver/settings_files_win32.h"
#include "saver/wide_text_win32.h"
#include "saver/zoom_win32.h"

namespace Sorvanta_P {
namespace {

using Sorvanta_B::widen;

constexpr wchar_t kDialogClass[] = L"Sorvanta.SettingsDialog";
constexpr wchar_t kPanelClass[] = L"Sorvanta.SettingsPanel";
constexpr wchar_t kCaption[] = L"<Sorvanta>";
constexpr wchar_t kLabelFace[] = L"ＭＳ Ｐゴシック";
constexpr double kLabelPoints = 9.75;
constexpr wchar_t kPanelFace[] = L"Tahoma";
constexpr double kPanelPoints = 8.25;

constexpr char kCreditLine[] = "© 2026 Sorvanta authors";
constexpr char kWebAddress[] = "https://sorvanta.github.io/";

constexpr int kIdRepeat = 101;
constexpr int kIdFile = 102;
constexpr int kIdSet = 103;
constexpr int kIdCancel = 104;

constexpr COLORREF kPanelGrey = RGB(0xE0, 0xE0, 0xE0);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A place in twips: left, top, width, height.
struct TwipPlace {
  int left;
  int top;
  int width;
  int height;
};

// On the window.
constexpr TwipPlace kClientTwips{0, 0, 7410, 3690};
constexpr TwipPlace kPanelPlace{180, 240, 7035, 2475};
constexpr TwipPlace kCreditPlace{180, 2880, 2475, 195};
constexpr TwipPlace kLinkPlace{180, 3120, 3285, 195};
constexpr TwipPlace kSetPlace{4740, 3000, 1215, 375};
constexpr TwipPlace kCancelPlace{6000, 3000, 1215, 375};
// On the panel.
constexpr TwipPlace kHeadingFrame{300, 300, 1695, 315};
constexpr TwipPlace kHeadingLabel{300, 360, 1665, 195};
constexpr TwipPlace kRepeatCombo{1680, 780, 615, 300};
constexpr TwipPlace kRepeatLabel{2340, 840, 990, 195};
constexpr TwipPlace kFileButton{1680, 1380, 615, 315};
constexpr TwipPlace kFileLabel{660, 1740, 6135, 495};
// Mark and label of each kind, by kind index (0 none, 1 audio CD, 2 music file).
constexpr std::array<TwipPlace, kKindCount> kKindMarks{
    TwipPlace{420, 1140, 195, 195}, TwipPlace{420, 840, 195, 195}, TwipPlace{420, 1440, 195, 195}};
constexpr std::array<TwipPlace, kKindCount> kKindLabels{
    TwipPlace{660, 1140, 330, 195}, TwipPlace{660, 840, 645, 195}, TwipPlace{660, 1440, 900, 195}};
constexpr std::array<const char*, kKindCount> kKindTexts{"なし", "音楽CD", "MP3、WAV"};

// Everything the open dialog owns; lives on showSettingsDialog's stack.
struct Dialog {
  HINSTANCE instance = nullptr;
  Sorvanta_B::MusicSettings* settings = nullptr;
  std::string programFolder;
  int dpi = 96;
  HWND window = nullptr;
  HWND panel = nullptr;
  HWND repeatCombo = nullptr;
  HWND fileButton = nullptr;
  HWND setButton = nullptr;
  HWND cancelButton = nullptr;
  HFONT labelFont = nullptr;
  HFONT linkFont = nullptr;
  HFONT panelFont = nullptr;
  HBITMAP markNotChosen = nullptr;  // Img_Ra (0)
  HBITMAP markChosen = nullptr;     // Img_Ra (1)
  HBITMAP strip = nullptr;          // Pic_Tex
  HICON icon = nullptr;
  HCURSOR linkCursor = nullptr;
  HDC surface = nullptr;  // the window's persistent drawing surface
  HBITMAP surfaceBitmap = nullptr;
  HGDIOBJ surfaceOld = nullptr;
  KindControls kindControls;
  std::string fileText;
  HWND lastFocus = nullptr;  // the control to give the focus back to on activation
  bool linkPressed = false;
  bool closed = false;
};

int pixels(const Dialog& dialog, int twips) {
  return pixelsFromTwips(twips, dialog.dpi);
}

RECT pixelRect(const Dialog& dialog, const TwipPlace& place) {
  const int left = pixels(dialog, place.left);
  const int top = pixels(dialog, place.top);
  return RECT{left, top, left + pixels(dialog, place.width), top + pixels(dialog, place.height)};
}

bool contains(const RECT& rect, int x, int y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

HFONT makeFont(const Dialog& dialog, const wchar_t* face, double points, BYTE charset,
               bool underline) {
  const int height = -static_cast<int>(std::lround(points * dialog.dpi / 72.0));
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE, charset,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
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

// Draws a windowless label: transparent, in the given font and colour. Single-line
// labels are not clipped, so a wider substitute font does not cut their text.
void drawLabel(HDC target, HFONT font, COLORREF colour, const RECT& rect, const std::string& text,
               UINT format) {
  const HGDIOBJ oldFont = SelectObject(target, font);
  SetBkMode(target, TRANSPARENT);
  SetTextColor(target, colour);
  RECT area = rect;
  const std::wstring wide = widen(text);
  const UINT clip = (format & DT_SINGLELINE) ? DT_NOCLIP : 0u;
  DrawTextW(target, wide.c_str(), static_cast<int>(wide.size()), &area,
            format | DT_NOPREFIX | clip);
  SelectObject(target, oldFont);
}

void drawBitmap(HDC target, HBITMAP bitmap, int x, int y) {
  const SIZE size = bitmapSize(bitmap);
  HDC source = CreateCompatibleDC(target);
  if (!source)
    return;
  const HGDIOBJ old = SelectObject(source, bitmap);
  BitBlt(target, x, y, size.cx, size.cy, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

// ---- The panel Pic_C: texture, heading, kind marks and labels, file label. ----

// TileTexture: the strip copied over the panel column by column.
void TileTexture(const Dialog& dialog, HDC target, int width, int height) {
  const SIZE strip = bitmapSize(dialog.strip);
  HDC source = CreateCompatibleDC(target);
  if (!source)
    return;
  const HGDIOBJ old = SelectObject(source, dialog.strip);
  for (const PixelPoint& at : tileCopyPositions(width, height, strip.cx, strip.cy))
    BitBlt(target, at.x, at.y, strip.cx, strip.cy, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

void drawHeading(const Dialog& dialog, HDC target) {
  const RECT frame = pixelRect(dialog, kHeadingFrame);
  const HGDIOBJ oldPen = SelectObject(target, GetStockObject(BLACK_PEN));
  const HGDIOBJ oldBrush = SelectObject(target, GetStockObject(NULL_BRUSH));
  Rectangle(target, frame.left, frame.top, frame.right, frame.bottom);
  SelectObject(target, oldBrush);
  SelectObject(target, oldPen);
  drawLabel(target, dialog.labelFont, kBlack, pixelRect(dialog, kHeadingLabel), "BGM",
            DT_CENTER | DT_SINGLELINE);
}

void drawKinds(const Dialog& dialog, HDC target) {
  for (int kind = 0; kind < kKindCount; ++kind) {
    const RECT mark = pixelRect(dialog, kKindMarks[kind]);
    const bool chosen = dialog.kindControls.chosenMark == kind;
    drawBitmap(target, chosen ? dialog.markChosen : dialog.markNotChosen, mark.left, mark.top);
    drawLabel(target, dialog.labelFont, kBlack, pixelRect(dialog, kKindLabels[kind]),
              kKindTexts[kind], DT_SINGLELINE);
  }
}

void paintPanel(const Dialog& dialog, HDC target, const RECT& client) {
  HBRUSH grey = CreateSolidBrush(kPanelGrey);
  FillRect(target, &client, grey);
  DeleteObject(grey);
  TileTexture(dialog, target, client.right, client.bottom);
  drawHeading(dialog, target);
  drawKinds(dialog, target);
  drawLabel(target, dialog.labelFont, kBlack, pixelRect(dialog, kRepeatLabel), "曲目をﾘﾋﾟｰﾄ",
            DT_SINGLELINE);
  drawLabel(target, dialog.labelFont, kBlack, pixelRect(dialog, kFileLabel), dialog.fileText,
            DT_WORDBREAK | DT_EDITCONTROL);
}

void onPanelPaint(const Dialog& dialog, HWND panel) {
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
    paintPanel(dialog, buffer, client);
    BitBlt(target, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
    SelectObject(buffer, old);
  } else {
    paintPanel(dialog, target, client);
  }
  if (bitmap)
    DeleteObject(bitmap);
  if (buffer)
    DeleteDC(buffer);
  EndPaint(panel, &ps);
}

// ---- Kind choice, file choice, save, cancel, link. ----

void setFileButtonEnabled(const Dialog& dialog, bool enabled) {
  if (Sorvanta_Controls::Command* button = Sorvanta_Controls::CommandOf(dialog.fileButton))
    button->setEnabled(enabled);
  EnableWindow(dialog.fileButton, enabled ? TRUE : FALSE);
}

void showKindControls(Dialog& dialog, const KindControls& controls) {
  dialog.kindControls = controls;
  EnableWindow(dialog.repeatCombo, controls.repeatEnabled ? TRUE : FALSE);
  setFileButtonEnabled(dialog, controls.fileButtonEnabled);
  RECT marks{};
  for (const TwipPlace& place : kKindMarks) {
    const RECT mark = pixelRect(dialog, place);
    UnionRect(&marks, &marks, &mark);
  }
  InvalidateRect(dialog.panel, &marks, FALSE);
}

void chooseKind(Dialog& dialog, int index) {
  const KindChoice choice = ChooseBgmKind(index);
  dialog.settings->BgmKind = choice.bgmKind;
  showKindControls(dialog, choice.controls);
}

// The kind whose mark or label lies under a panel point, or kNoMarkChosen.
int kindAt(const Dialog& dialog, int x, int y) {
  for (int kind = 0; kind < kKindCount; ++kind) {
    if (contains(pixelRect(dialog, kKindMarks[kind]), x, y) ||
        contains(pixelRect(dialog, kKindLabels[kind]), x, y))
      return kind;
  }
  return kNoMarkChosen;
}

void showFileText(Dialog& dialog, const std::string& text) {
  dialog.fileText = text;
  const RECT label = pixelRect(dialog, kFileLabel);
  InvalidateRect(dialog.panel, &label, FALSE);
}

void chooseMusicFile(Dialog& dialog) {
  constexpr DWORD kBufferLength = 255;
  static const wchar_t kFilter[] = L"BGMﾌｧｲﾙ (MP3 WAV)\0*.MP3;*.WAV\0";
  std::wstring file(kBufferLength + 1, L'\0');
  std::wstring fileTitle(kBufferLength + 1, L'\0');
  const std::wstring folder = widen(dialog.settings->BgmFolder);
  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = dialog.window;
  request.hInstance = dialog.instance;
  request.lpstrFilter = kFilter;
  request.lpstrFile = file.data();
  request.nMaxFile = kBufferLength;
  request.lpstrFileTitle = fileTitle.data();
  request.nMaxFileTitle = kBufferLength;
  request.lpstrInitialDir = folder.c_str();
  request.lpstrTitle = L"ﾌｧｲﾙを開く";
  if (GetOpenFileNameW(&request) <= 0)
    return;
  dialog.settings->BgmFile = Sorvanta_B::narrow(std::wstring(file.c_str()));
  showFileText(dialog, dialog.settings->BgmFile);
  dialog.settings->BgmFolder = Sorvanta_B::FolderOfPath(dialog.settings->BgmFile);
}

std::string comboText(HWND combo) {
  const int length = GetWindowTextLengthW(combo);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int read = GetWindowTextW(combo, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(read > 0 ? read : 0));
  return Sorvanta_B::narrow(text);
}

void closeDialog(Dialog& dialog) {
  if (!dialog.window || dialog.closed)
    return;
  Sorvanta_B::ZoomClose(dialog.window);
  DestroyWindow(dialog.window);
}

// A button's click runs inside the button's own window procedure; the close is posted
// so that the button is not destroyed under its own feet.
void requestClose(const Dialog& dialog) {
  PostMessageW(dialog.window, WM_CLOSE, 0, 0);
}

void saveAndClose(Dialog& dialog) {
  dialog.settings->BgmRepeat = repeatFromText(comboText(dialog.repeatCombo));
  Sorvanta_B::WindowsSettingsFiles files;
  Sorvanta_B::SaveSettings(*dialog.settings, dialog.programFolder, files);
  requestClose(dialog);
}

void openLink(const Dialog& dialog) {
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
  ShellExecuteW(dialog.window, L"open", widen(kWebAddress).c_str(), L"", L"", SW_SHOWNORMAL);
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

// ---- The window's background: navy to lavender to navy, kept on a surface. ----

void drawBackground(Dialog& dialog, int width, int height) {
  if (!dialog.surface)
    return;
  if (dialog.surfaceBitmap) {
    SelectObject(dialog.surface, dialog.surfaceOld);
    DeleteObject(dialog.surfaceBitmap);
  }
  HDC screen = GetDC(dialog.window);
  dialog.surfaceBitmap = CreateCompatibleBitmap(screen, width + 1, height + 1);
  ReleaseDC(dialog.window, screen);
  dialog.surfaceOld = SelectObject(dialog.surface, dialog.surfaceBitmap);
  for (int y = 0; y <= height; ++y) {
    const RowColour colour = backgroundRowColour(y, height);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(colour.red, colour.green, colour.blue));
    const HGDIOBJ old = SelectObject(dialog.surface, pen);
    MoveToEx(dialog.surface, 0, y, nullptr);
    LineTo(dialog.surface, width, y);
    SelectObject(dialog.surface, old);
    DeleteObject(pen);
  }
  drawLabel(dialog.surface, dialog.labelFont, kWhite, pixelRect(dialog, kCreditPlace), kCreditLine,
            DT_SINGLELINE);
  drawLabel(dialog.surface, dialog.linkFont, kWhite, pixelRect(dialog, kLinkPlace), kWebAddress,
            DT_SINGLELINE);
  InvalidateRect(dialog.window, nullptr, FALSE);
}

void onPaint(const Dialog& dialog) {
  PAINTSTRUCT ps;
  HDC target = BeginPaint(dialog.window, &ps);
  if (target && dialog.surface) {
    const RECT& dirty = ps.rcPaint;
    BitBlt(target, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
           dialog.surface, dirty.left, dirty.top, SRCCOPY);
  }
  EndPaint(dialog.window, &ps);
}

// ---- Creation of the controls and the load. ----

Dialog* dialogOf(HWND window) {
  return reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* dialog = dialogOf(GetParent(panel));
  if (!dialog)
    return DefWindowProcW(panel, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      onPanelPaint(*dialog, panel);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const int kind =
          kindAt(*dialog, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      if (kind != kNoMarkChosen)
        chooseKind(*dialog, kind);
      return 0;
    }
    default:
      return DefWindowProcW(panel, message, wParam, lParam);
  }
}

HWND createButton(Dialog& dialog, HWND parent, int id, const TwipPlace& place,
                  const char* caption) {
  const RECT rect = pixelRect(dialog, place);
  const Sorvanta_Controls::CaptionFont font = Sorvanta_Controls::DefaultCaptionFont();
  HWND button = Sorvanta_Controls::CreateCommand(parent, id, rect, nullptr, font);
  if (Sorvanta_Controls::Command* control = Sorvanta_Controls::CommandOf(button)) {
    control->setCaption(caption);
    control->setFont(font);
  }
  return button;
}

void createPanelControls(Dialog& dialog) {
  const RECT panel = pixelRect(dialog, kPanelPlace);
  dialog.panel = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT, kPanelClass, L"",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, panel.left, panel.top,
                                 panel.right - panel.left, panel.bottom - panel.top, dialog.window,
                                 nullptr, dialog.instance, nullptr);
  const RECT combo = pixelRect(dialog, kRepeatCombo);
  // The drop-down height covers the list; the edit part keeps its own height.
  dialog.repeatCombo = CreateWindowExW(
      0, L"COMBOBOX", L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, combo.left,
      combo.top, combo.right - combo.left, pixels(dialog, 3000), dialog.panel,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdRepeat)), dialog.instance, nullptr);
  SendMessageW(dialog.repeatCombo, WM_SETFONT, reinterpret_cast<WPARAM>(dialog.panelFont), TRUE);
  dialog.fileButton = createButton(dialog, dialog.panel, kIdFile, kFileButton, "...");
  Sorvanta_Controls::SetClickHandler(dialog.fileButton, [&dialog] { chooseMusicFile(dialog); });
}

void createWindowControls(Dialog& dialog) {
  createPanelControls(dialog);
  dialog.setButton = createButton(dialog, dialog.window, kIdSet, kSetPlace, "設定");
  Sorvanta_Controls::SetClickHandler(dialog.setButton, [&dialog] { saveAndClose(dialog); });
  dialog.cancelButton = createButton(dialog, dialog.window, kIdCancel, kCancelPlace, "ｷｬﾝｾﾙ");
  Sorvanta_Controls::SetClickHandler(dialog.cancelButton, [&dialog] { requestClose(dialog); });
}

void placeWindow(const Dialog& dialog) {
  RECT outer{};
  GetWindowRect(dialog.window, &outer);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const PixelPoint twips = dialogPosition(twipsFromPixels(screenWidth, dialog.dpi),
                                          twipsFromPixels(screenHeight, dialog.dpi),
                                          twipsFromPixels(outer.right - outer.left, dialog.dpi),
                                          twipsFromPixels(outer.bottom - outer.top, dialog.dpi));
  SetWindowPos(dialog.window, nullptr, pixels(dialog, twips.x), pixels(dialog, twips.y), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void fillRepeatCombo(const Dialog& dialog) {
  SetWindowTextW(dialog.repeatCombo, widen(formatRepeat(dialog.settings->BgmRepeat)).c_str());
  for (const std::string& entry : repeatListEntries())
    SendMessageW(dialog.repeatCombo, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(widen(entry).c_str()));
}

void initializeButtons(const Dialog& dialog) {
  for (HWND button : {dialog.fileButton, dialog.setButton, dialog.cancelButton}) {
    if (Sorvanta_Controls::Command* control = Sorvanta_Controls::CommandOf(button))
      control->Initialize();
  }
}

// The load, in its order: place, buttons, texture, kind controls, combo, file, zoom.
void load(Dialog& dialog) {
  placeWindow(dialog);
  initializeButtons(dialog);
  // The panel draws the texture in every repaint, so it stays through them.
  EnableWindow(dialog.repeatCombo, FALSE);
  showKindControls(dialog, controlsForKind(dialog.settings->BgmKind));
  fillRepeatCombo(dialog);
  showFileText(dialog, dialog.settings->BgmFile);
  Sorvanta_B::rememberZoomPointFromCursor();
  Sorvanta_B::ZoomOpen(dialog.window);
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

bool overLink(const Dialog& dialog) {
  POINT cursor{};
  if (!GetCursorPos(&cursor) || !ScreenToClient(dialog.window, &cursor))
    return false;
  return contains(pixelRect(dialog, kLinkPlace), cursor.x, cursor.y);
}

// Focus that reaches the window itself goes on to the control that last had it, as in
// any dialog, so that the keyboard keeps working after the window is clicked.
void passFocusOn(const Dialog& dialog) {
  HWND target = dialog.lastFocus;
  if (!target || !IsWindow(target) || !IsWindowEnabled(target))
    target = GetNextDlgTabItem(dialog.window, nullptr, FALSE);
  if (target)
    SetFocus(target);
}

void rememberFocus(Dialog& dialog) {
  HWND focus = GetFocus();
  if (focus && IsChild(dialog.window, focus))
    dialog.lastFocus = focus;
}

LRESULT handleDialog(Dialog& dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE)
        rememberFocus(dialog);
      break;
    case WM_SETFOCUS:
      passFocusOn(dialog);
      return 0;
    case WM_SIZE:
      drawBackground(dialog, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      onPaint(dialog);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && dialog.linkCursor && overLink(dialog)) {
        SetCursor(dialog.linkCursor);
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      dialog.linkPressed = overLink(dialog);
      return 0;
    case WM_LBUTTONUP:
      if (dialog.linkPressed && overLink(dialog))
        openLink(dialog);
      dialog.linkPressed = false;
      return 0;
    case WM_CLOSE:
      closeDialog(dialog);
      return 0;
    case WM_DESTROY:
      dialog.closed = true;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(dialog.window, message, wParam, lParam);
}

LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* dialog = static_cast<Dialog*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    dialog->window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog));
  }
  Dialog* dialog = dialogOf(window);
  if (!dialog)
    return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    dialog->window = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return handleDialog(*dialog, message, wParam, lParam);
}

void registerClasses(const Dialog& dialog) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = DialogProc;
  windowClass.hInstance = dialog.instance;
  windowClass.hIcon = dialog.icon;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kDialogClass;
  RegisterClassExW(&windowClass);
  WNDCLASSEXW panelClass{};
  panelClass.cbSize = sizeof(panelClass);
  panelClass.lpfnWndProc = PanelProc;
  panelClass.hInstance = dialog.instance;
  panelClass.hCursor = windowClass.hCursor;
  panelClass.lpszClassName = kPanelClass;
  RegisterClassExW(&panelClass);
}

void loadResources(Dialog& dialog) {
  HDC screen = GetDC(nullptr);
  if (screen) {
    dialog.dpi = GetDeviceCaps(screen, LOGPIXELSY);
    dialog.surface = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
  }
  if (dialog.dpi <= 0)
    dialog.dpi = 96;
  dialog.labelFont = makeFont(dialog, kLabelFace, kLabelPoints, SHIFTJIS_CHARSET, false);
  dialog.linkFont = makeFont(dialog, kLabelFace, kLabelPoints, SHIFTJIS_CHARSET, true);
  dialog.panelFont = makeFont(dialog, kPanelFace, kPanelPoints, DEFAULT_CHARSET, false);
  dialog.markNotChosen =
      scaledToDpi(loadBitmap(dialog.instance, L"SORVANTA_MARK_NOT_CHOSEN"), dialog.dpi);
  dialog.markChosen = scaledToDpi(loadBitmap(dialog.instance, L"SORVANTA_MARK_CHOSEN"), dialog.dpi);
  dialog.strip = scaledToDpi(loadBitmap(dialog.instance, L"SORVANTA_PANEL_STRIP"), dialog.dpi);
  dialog.icon = static_cast<HICON>(
      LoadImageW(dialog.instance, L"SORVANTA_WINDOW_ICON", IMAGE_ICON, 32, 32, 0));
  dialog.linkCursor = static_cast<HCURSOR>(
      LoadImageW(dialog.instance, L"SORVANTA_LINK_CURSOR", IMAGE_CURSOR, 0, 0, 0));
}

void freeResources(Dialog& dialog) {
  if (dialog.surface) {
    if (dialog.surfaceBitmap)
      SelectObject(dialog.surface, dialog.surfaceOld);
    DeleteDC(dialog.surface);
  }
  for (HGDIOBJ object : std::initializer_list<HGDIOBJ>{
           dialog.surfaceBitmap, dialog.labelFont, dialog.linkFont, dialog.panelFont,
           dialog.markNotChosen, dialog.markChosen, dialog.strip}) {
    if (object)
      DeleteObject(object);
  }
  if (dialog.icon)
    DestroyIcon(dialog.icon);
  if (dialog.linkCursor)
    DestroyCursor(dialog.linkCursor);
}

HWND createDialogWindow(Dialog& dialog) {
  constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_CLIPCHILDREN;
  constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
  RECT outer = pixelRect(dialog, kClientTwips);
  AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
  return CreateWindowExW(kExStyle, kDialogClass, kCaption, kStyle, 0, 0, outer.right - outer.left,
                         outer.bottom - outer.top, nullptr, nullptr, dialog.instance, &dialog);
}

void runUntilClosed(Dialog& dialog) {
  MSG message;
  while (!dialog.closed && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (dialog.window && IsDialogMessageW(dialog.window, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

void showSettingsDialog(void* instance, Sorvanta_B::MusicSettings& settings,
                        const std::string& programFolder) {
  Dialog dialog;
  dialog.instance = static_cast<HINSTANCE>(instance);
  dialog.settings = &settings;
  dialog.programFolder = programFolder;
  loadResources(dialog);
  registerClasses(dialog);
  if (createDialogWindow(dialog)) {
    createWindowControls(dialog);
    load(dialog);
    ShowWindow(dialog.window, SW_SHOWNORMAL);
    if (HWND first = GetNextDlgTabItem(dialog.window, nullptr, FALSE))
      SetFocus(first);
    runUntilClosed(dialog);
  }
  UnregisterClassW(kDialogClass, dialog.instance);
  UnregisterClassW(kPanelClass, dialog.instance);
  freeResources(dialog);
}

}  // namespace Sorvanta_P
