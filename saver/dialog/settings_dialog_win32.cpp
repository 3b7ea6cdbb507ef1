#include "saver/dialog/settings_dialog_win32.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "saver/controls/command_win32.h"
#include "saver/dialog/dialog_dpi_win32.h"
#include "saver/dialog/settings_dialog.h"
#include "saver/dialog/settings_dialog_paint_win32.h"
#include "saver/dialog/zoom_win32.h"
#include "saver/settings/settings_win32.h"
#include "saver/text/wide_text_win32.h"

namespace Sorvanta_P {
namespace {

using Sorvanta_B::widen;

constexpr wchar_t kDialogClass[] = L"Sorvanta.SettingsDialog";
constexpr wchar_t kPanelClass[] = L"Sorvanta.SettingsPanel";

constexpr int kIdRepeat = 101;
constexpr int kIdFile = 102;
constexpr int kIdSet = 103;
constexpr int kIdCancel = 104;

HCURSOR systemCursor(LPCSTR name) {  // IDC_ARROW and the like
  return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(name));
}

RECT toRect(const PixelBox& box) {
  return RECT{box.left, box.top, box.right, box.bottom};
}

// The dialog's windows, its painter and the platform side of its steps; lives on
// showSettingsDialog's stack.
struct Dialog final : SettingsDialogView, DialogWindows {
  Dialog(HINSTANCE module, Sorvanta_B::MusicSettings& settings, const std::string& folder, int dpi,
         HDC surface)
      : instance(module),
        logic(settings, folder, files, *this, dpi),
        painter(module, logic.layout(), surface) {}

  // ---- The platform side of the dialog's steps. ----

  void showKindControls(const KindControls& controls) override {
    EnableWindow(repeatCombo, controls.repeatEnabled ? TRUE : FALSE);
    if (sorvanta::controls::Command* button = sorvanta::controls::CommandOf(fileButton))
      button->setEnabled(controls.fileButtonEnabled);
    EnableWindow(fileButton, controls.fileButtonEnabled ? TRUE : FALSE);
    const RECT marks = toRect(logic.layout().kindMarksBox());
    InvalidateRect(panel, &marks, FALSE);
  }

  void fillRepeatCombo(const std::string& text, const std::vector<std::string>& entries) override {
    SetWindowTextW(repeatCombo, widen(text).c_str());
    for (const std::string& entry : entries)
      SendMessageW(repeatCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(entry).c_str()));
  }

  void showFileText(const std::string&) override {
    const RECT label = rect(kFileLabel);
    InvalidateRect(panel, &label, FALSE);
  }

  std::string repeatText() override {
    const int length = GetWindowTextLengthW(repeatCombo);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(repeatCombo, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(read > 0 ? read : 0));
    return Sorvanta_B::narrow(text);
  }

  std::optional<std::string> chooseMusicFile(const std::string& initialFolder) override {
    const std::wstring filter = widen(std::string(kChooserFilter, sizeof(kChooserFilter)));
    const std::wstring title = widen(kChooserTitle);
    const std::wstring folder = widen(initialFolder);
    std::wstring file(kChooserPathLimit + 1, L'\0');
    std::wstring fileTitle(kChooserPathLimit + 1, L'\0');
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = window;
    request.hInstance = instance;
    request.lpstrFilter = filter.c_str();
    request.lpstrFile = file.data();
    request.nMaxFile = kChooserPathLimit;
    request.lpstrFileTitle = fileTitle.data();
    request.nMaxFileTitle = kChooserPathLimit;
    request.lpstrInitialDir = folder.c_str();
    request.lpstrTitle = title.c_str();
    if (GetOpenFileNameW(&request) <= 0)
      return std::nullopt;
    return Sorvanta_B::narrow(std::wstring(file.c_str()));
  }

  std::optional<PixelPoint> cursorInWindow() override {
    POINT cursor{};
    if (!GetCursorPos(&cursor) || !ScreenToClient(window, &cursor))
      return std::nullopt;
    return PixelPoint{cursor.x, cursor.y};
  }

  void openWebPage(const std::string& address) override {
    SetCursor(systemCursor(IDC_WAIT));
    ShellExecuteW(window, L"open", widen(address).c_str(), L"", L"", SW_SHOWNORMAL);
    SetCursor(systemCursor(IDC_ARROW));
  }

  // A button's click runs inside the button's own window procedure; the close is posted
  // so that the button is not destroyed under its own feet.
  void requestClose() override { PostMessageW(window, WM_CLOSE, 0, 0); }

  RECT rect(const TwipPlace& place) const { return toRect(logic.layout().box(place)); }

  HINSTANCE instance;
  Sorvanta_B::SettingsFilesWin32 files;
  SettingsDialog logic;
  DialogPainter painter;
  HWND lastFocus = nullptr;  // the control to give the focus back to on activation
  bool closed = false;
};

// ---- Windows, controls and messages. ----

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
      dialog->painter.paintPanel(panel, dialog->logic.chosenMark(), dialog->logic.fileText());
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      dialog->logic.pressPanel(static_cast<short>(LOWORD(lParam)),
                               static_cast<short>(HIWORD(lParam)));
      return 0;
    default:
      return DefWindowProcW(panel, message, wParam, lParam);
  }
}

HWND createButton(Dialog& dialog, HWND parent, int id, const TwipPlace& place, const char* caption,
                  void (SettingsDialog::*click)()) {
  const sorvanta::controls::CaptionFont font = sorvanta::controls::DefaultCaptionFont();
  HWND button = sorvanta::controls::CreateCommand(parent, id, dialog.rect(place), nullptr, font);
  if (sorvanta::controls::Command* control = sorvanta::controls::CommandOf(button)) {
    control->setCaption(caption);
    control->setFont(font);
  }
  sorvanta::controls::SetClickHandler(button, [&dialog, click] { (dialog.logic.*click)(); });
  return button;
}

void createControls(Dialog& dialog) {
  const RECT panel = dialog.rect(kPanelPlace);
  dialog.panel = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT, kPanelClass, L"",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, panel.left, panel.top,
                                 panel.right - panel.left, panel.bottom - panel.top, dialog.window,
                                 nullptr, dialog.instance, nullptr);
  const RECT combo = dialog.rect(kRepeatCombo);
  // The drop-down height covers the list; the edit part keeps its own height.
  dialog.repeatCombo = CreateWindowExW(
      0, L"COMBOBOX", L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, combo.left,
      combo.top, combo.right - combo.left, dialog.logic.layout().pixels(kRepeatDropDownTwips),
      dialog.panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdRepeat)), dialog.instance,
      nullptr);
  SendMessageW(dialog.repeatCombo, WM_SETFONT, reinterpret_cast<WPARAM>(dialog.painter.panelFont()),
               TRUE);
  dialog.fileButton = createButton(dialog, dialog.panel, kIdFile, kFileButton, kFileButtonCaption,
                                   &SettingsDialog::chooseFile);
  dialog.setButton =
      createButton(dialog, dialog.window, kIdSet, kSetPlace, kSetCaption, &SettingsDialog::save);
  dialog.cancelButton = createButton(dialog, dialog.window, kIdCancel, kCancelPlace, kCancelCaption,
                                     &SettingsDialog::cancel);
}

// The load, in its order: place, buttons, texture, kind controls, combo, file, zoom.
void load(Dialog& dialog) {
  RECT outer{};
  GetWindowRect(dialog.window, &outer);
  const PixelPoint place = dialog.logic.layout().windowPosition(
      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), outer.right - outer.left,
      outer.bottom - outer.top);
  SetWindowPos(dialog.window, nullptr, place.x, place.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (HWND button : {dialog.fileButton, dialog.setButton, dialog.cancelButton}) {
    if (sorvanta::controls::Command* control = sorvanta::controls::CommandOf(button))
      control->Initialize();
  }
  // The panel draws the texture in every repaint, so it stays through them.
  EnableWindow(dialog.repeatCombo, FALSE);
  dialog.logic.load();
  Sorvanta_B::rememberZoomPointFromCursor();
  Sorvanta_B::ZoomOpen(dialog.window);
  SetCursor(systemCursor(IDC_ARROW));
}

LRESULT handleDialog(Dialog& dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      // Focus that reaches the window itself goes back to the control that last had it,
      // as in any dialog, so that the keyboard keeps working after the window is clicked.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(dialog.window, focus))
          dialog.lastFocus = focus;
      }
      break;
    case WM_SETFOCUS: {
      HWND target = dialog.lastFocus;
      if (!target || !IsWindow(target) || !IsWindowEnabled(target))
        target = GetNextDlgTabItem(dialog.window, nullptr, FALSE);
      if (target)
        SetFocus(target);
      return 0;
    }
    case WM_SIZE:
      dialog.painter.drawBackground(dialog.window, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_DPICHANGED:  // moved onto a monitor of another scale, or its scale changed
      changeScale(dialog, dialog.logic, dialog.painter, HIWORD(wParam),
                  reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      dialog.painter.paintWindow(dialog.window);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && dialog.painter.linkCursor() &&
          dialog.logic.cursorOnLink()) {
        SetCursor(dialog.painter.linkCursor());
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      dialog.logic.pressWindow();
      return 0;
    case WM_LBUTTONUP:
      dialog.logic.releaseWindow();
      return 0;
    case WM_CLOSE:
      if (dialog.window && !dialog.closed) {
        Sorvanta_B::ZoomClose(dialog.window);
        DestroyWindow(dialog.window);
      }
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

void registerClass(const Dialog& dialog, const wchar_t* name, WNDPROC procedure, HICON icon,
                   HCURSOR cursor) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = dialog.instance;
  windowClass.hIcon = icon;
  windowClass.hCursor = cursor;
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

HWND createDialogWindow(Dialog& dialog) {
  constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_CLIPCHILDREN;
  constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
  RECT outer = dialog.rect(kClientPlace);
  AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
  return CreateWindowExW(kExStyle, kDialogClass, widen(kDialogCaption).c_str(), kStyle, 0, 0,
                         outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                         dialog.instance, &dialog);
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
  // The screen's dots per inch, until the window gives its own, and a drawing surface.
  int dpi = 0;
  HDC surface = nullptr;
  if (HDC screen = GetDC(nullptr)) {
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    surface = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
  }
  Dialog dialog(static_cast<HINSTANCE>(instance), settings, programFolder, dpi, surface);
  const HCURSOR arrow = systemCursor(IDC_ARROW);
  registerClass(dialog, kDialogClass, DialogProc, dialog.painter.icon(), arrow);
  registerClass(dialog, kPanelClass, PanelProc, nullptr, arrow);
  if (createDialogWindow(dialog)) {
    takeWindowScale(dialog.window, dialog.logic, dialog.painter);
    createControls(dialog);
    load(dialog);
    ShowWindow(dialog.window, SW_SHOWNORMAL);
    if (HWND first = GetNextDlgTabItem(dialog.window, nullptr, FALSE))
      SetFocus(first);
    runUntilClosed(dialog);
  }
  UnregisterClassW(kDialogClass, dialog.instance);
  UnregisterClassW(kPanelClass, dialog.instance);
}

}  // namespace Sorvanta_P
