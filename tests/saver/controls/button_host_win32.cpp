// Test host: a window with two Command buttons, "OK" (id 101, focused at start) and
// "参照" (id 102). It appends one line per event to the log file named on the command
// line: "ready" once shown, "click OK" / "click 参照" per Click, and "key NAME VK" for
// every key message that reaches a button.
#include <windows.h>

#include <cstdio>
#include <string>

#include "saver/controls/command_win32.h"
#include "saver/text/wide_text_win32.h"

namespace {

using sorvanta::controls::CaptionFont;
using sorvanta::controls::Command;
using sorvanta::controls::PropertyBag;

constexpr int kOkId = 101;
constexpr int kBrowseId = 102;
constexpr wchar_t kHostClass[] = L"SorvantaButtonHost";
constexpr wchar_t kHostTitle[] = L"Sorvanta button host";

struct Host {
  FILE* log = nullptr;
  HWND ok = nullptr;
  HWND browse = nullptr;
};

void Log(const Host& host, const std::string& line) {
  std::fprintf(host.log, "%s\n", line.c_str());
  std::fflush(host.log);
}

std::string NameOf(const Host& host, HWND window) {
  Command* control = sorvanta::controls::CommandOf(window);
  if (window != host.ok && window != host.browse)
    return "host";
  return control ? control->Caption() : "?";
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* host = reinterpret_cast<Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_COMMAND && host && HIWORD(wParam) == BN_CLICKED) {
    Log(*host, "click " + NameOf(*host, reinterpret_cast<HWND>(lParam)));
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeButton(HWND parent, int id, RECT where, const char* caption) {
  PropertyBag bag;
  bag.WriteProperty(sorvanta::controls::kPropCaption, std::string(caption), std::string());
  const CaptionFont ambient = sorvanta::controls::DefaultCaptionFont();
  HWND button = sorvanta::controls::CreateCommand(parent, id, where, &bag, ambient);
  if (Command* control = sorvanta::controls::CommandOf(button))
    control->Initialize();
  return button;
}

// The second button reports its Click through a handler rather than WM_COMMAND, so that
// both ways a host can use are exercised.
HWND MakeBrowseButton(HWND parent, const Host& host) {
  PropertyBag bag;
  const std::string caption = "\xE5\x8F\x82\xE7\x85\xA7";
  bag.WriteProperty(sorvanta::controls::kPropCaption, caption, std::string());
  const RECT where{170, 20, 170 + 96, 20 + 25};
  HWND button = sorvanta::controls::CreateCommand(parent, kBrowseId, where, &bag,
                                                  sorvanta::controls::DefaultCaptionFont());
  sorvanta::controls::SetClickHandler(button, [&host, caption] { Log(host, "click " + caption); });
  if (Command* control = sorvanta::controls::CommandOf(button))
    control->Initialize();
  return button;
}

HWND MakeHostWindow(HINSTANCE instance, Host& host) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kHostClass;
  RegisterClassExW(&windowClass);
  RECT frame{0, 0, 300, 100};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExW(0, kHostClass, kHostTitle, style, 0, 0, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (window)
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&host));
  return window;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  Host host;
  host.log = _wfopen(commandLine, L"a");
  if (!host.log)
    return 2;
  HWND window = MakeHostWindow(instance, host);
  if (!window)
    return 3;
  // Two sizes: one wider and taller than the skins, one at the skins' own size.
  host.ok = MakeButton(window, kOkId, RECT{20, 20, 140, 60}, "OK");
  host.browse = MakeBrowseButton(window, host);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  SetFocus(host.ok);
  Log(host, "ready");
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_KEYDOWN || message.message == WM_CHAR) {
      Log(host, (message.message == WM_KEYDOWN ? "key " : "char ") + NameOf(host, message.hwnd) +
                    " " + std::to_string(message.wParam));
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  std::fclose(host.log);
  return 0;
}
