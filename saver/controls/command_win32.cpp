#include "saver/controls/command_win32.h"

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "saver/controls/command_paint_win32.h"
#include "saver/controls/length_units.h"

namespace sorvanta::controls {

namespace {

struct CreateParams {
  const PropertyBag* bag;
  const CaptionFont* ambientFont;
};

struct ButtonWindow {
  explicit ButtonWindow(HWND window) : painter(window), control(painter) {}
  CommandPainterWin32 painter;
  Command control;
  bool rescaling = false;  // a change of scale paints the face itself once placed
};

ButtonWindow* WindowData(HWND window) {
  return reinterpret_cast<ButtonWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void OnCreate(HWND window, ButtonWindow& data, const CREATESTRUCTW& create) {
  const auto* params = static_cast<const CreateParams*>(create.lpCreateParams);
  const CaptionFont ambient =
      params && params->ambientFont ? *params->ambientFont : DefaultCaptionFont();
  const PropertyBag empty;
  const PropertyBag& bag = params && params->bag ? *params->bag : empty;
  RECT client;
  GetClientRect(window, &client);
  data.painter.resizeFace(client.right, client.bottom);
  data.control.ReadProperties(bag, ambient);
}

void OnSize(ButtonWindow& data, int width, int height) {
  data.painter.resizeFace(width, height);
  if (data.rescaling)
    return;
  data.control.resize(twipsFromPixels(width, kStandardDotsPerInch),
                      twipsFromPixels(height, kStandardDotsPerInch));
}

void OnTimer(HWND window, ButtonWindow& data) {
  POINT cursor;
  if (!GetCursorPos(&cursor))
    return;
  data.control.timerTick(WindowFromPoint(cursor) == window);
}

void OnButtonDown(HWND window, ButtonWindow& data, MouseButton button) {
  // A click gives the focus first, as with any push button.
  if (button == MouseButton::Left && data.control.enabledValue() != kFalse)
    SetFocus(window);
  SetCapture(window);
  data.control.mouseDown(button);
}

void OnButtonUp(HWND window, ButtonWindow& data, MouseButton button, WPARAM keys) {
  const WPARAM held = keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON);
  if (!held && GetCapture() == window)
    ReleaseCapture();
  POINT cursor;
  const bool over = !GetCursorPos(&cursor) || WindowFromPoint(cursor) == window;
  data.control.mouseUp(button, over);
}

void OnPaint(HWND window, const ButtonWindow& data) {
  PAINTSTRUCT ps;
  HDC target = BeginPaint(window, &ps);
  if (target)
    data.painter.paint(target);
  EndPaint(window, &ps);
}

LRESULT HandleMessage(HWND window, ButtonWindow& data, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      OnSize(data, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTmrMouseId)
        OnTimer(window, data);
      return 0;
    case WM_SETFOCUS:
      data.control.focusArrived();
      return 0;
    case WM_KILLFOCUS:
      data.control.focusLeft();
      return 0;
    case WM_MOUSEMOVE:
      data.control.mouseMove();
      return 0;
    case WM_LBUTTONDOWN:
      OnButtonDown(window, data, MouseButton::Left);
      return 0;
    case WM_RBUTTONDOWN:
      OnButtonDown(window, data, MouseButton::Right);
      return 0;
    case WM_MBUTTONDOWN:
      OnButtonDown(window, data, MouseButton::Middle);
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(window, data, MouseButton::Left, wParam);
      return 0;
    case WM_RBUTTONUP:
      OnButtonUp(window, data, MouseButton::Right, wParam);
      return 0;
    case WM_MBUTTONUP:
      OnButtonUp(window, data, MouseButton::Middle, wParam);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint(window, data);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK CommandProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* data = new ButtonWindow(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
    return DefWindowProcW(window, message, wParam, lParam);
  }
  ButtonWindow* data = WindowData(window);
  if (!data)
    return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_CREATE) {
    OnCreate(window, *data, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
    return 0;
  }
  if (message == WM_NCDESTROY) {
    KillTimer(window, kTmrMouseId);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete data;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return HandleMessage(window, *data, message, wParam, lParam);
}

}  // namespace

bool RegisterCommandClass(HINSTANCE instance) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, kCommandClassName, &existing))
    return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = CommandProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kCommandClassName;
  return RegisterClassExW(&windowClass) != 0;
}

HWND CreateCommand(HWND parent, int id, const RECT& pixels, const PropertyBag* bag,
                   const CaptionFont& ambientFont) {
  auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  if (!RegisterCommandClass(instance))
    return nullptr;
  CreateParams params{bag, &ambientFont};
  return CreateWindowExW(0, kCommandClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, pixels.left,
                         pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, &params);
}

Command* CommandOf(HWND button) {
  wchar_t name[32] = {};
  if (!GetClassNameW(button, name, 32) || lstrcmpW(name, kCommandClassName) != 0)
    return nullptr;
  ButtonWindow* data = WindowData(button);
  return data ? &data->control : nullptr;
}

bool ScaleCommand(HWND button, const RECT& pixels, int dotsPerInch, UINT flags) {
  if (!CommandOf(button))
    return false;
  ButtonWindow& data = *WindowData(button);
  data.painter.setDotsPerInch(dotsPerInch);
  data.rescaling = true;
  SetWindowPos(button, nullptr, pixels.left, pixels.top, pixels.right - pixels.left,
               pixels.bottom - pixels.top, flags | SWP_NOZORDER | SWP_NOACTIVATE);
  data.rescaling = false;
  RECT client{};
  GetClientRect(button, &client);
  data.control.rescale(twipsFromPixels(client.right, kStandardDotsPerInch),
                       twipsFromPixels(client.bottom, kStandardDotsPerInch));
  return true;
}

bool SetClickHandler(HWND button, std::function<void()> handler) {
  if (!CommandOf(button))
    return false;
  WindowData(button)->painter.setClickHandler(std::move(handler));
  return true;
}

}  // namespace sorvanta::controls
