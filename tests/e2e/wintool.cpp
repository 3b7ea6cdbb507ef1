// A small Win32 helper for the tests under Wine: it looks at and talks to the
// windows of the programs under test from inside the same prefix.
//
//   wintool find CAPTION     prints "hwnd class style exstyle l t r b cl ct cr cb" of
//                            the top-level window with that caption (exit 1 if none)
//   wintool close CAPTION    posts WM_CLOSE to it
//   wintool quit CAPTION     posts WM_QUIT to it
//   wintool displaychange CAPTION  sends it WM_DISPLAYCHANGE with the primary monitor's
//                            size, as the system does after a display change
//   wintool resize CAPTION W H  makes that window W x H in place, as a lost display mode
//                            leaves a full-screen window smaller than its grown monitor
//   wintool cursor           prints 1 when the mouse cursor is showing, else 0
//   wintool children HWND    prints the captions of the child windows of HWND
//   wintool host W H         creates a captioned top-level window "Sorvanta host" with a
//                            W x H client area, prints its handle and runs until closed
//   wintool controls CAPTION prints "id enabled class" of every control inside the window
//   wintool focus CAPTION    prints "id class" of the control that has the keyboard focus
//                            in the window's thread (a combo box for its edit part)
//   wintool endsession CAPTION  sends WM_QUERYENDSESSION, prints its answer, then sends
//                            WM_ENDSESSION (TRUE), as a log-off does
//   wintool record FILE ARGS...  appends its arguments to FILE, one line (a fake browser)
//   wintool hold FILE        keeps FILE open (read sharing only), prints "held", runs on
//   wintool shortpath PATH   prints the short (8.3) form of PATH as Windows gives it
//   wintool spawn APP COMMANDLINE  starts APP with exactly that command line (no quotes
//                            added), as the screen-saver host starts a saver; waits for it
//                            and exits with its exit code
//   wintool ondesktop NAME APP COMMANDLINE  the same on a desktop NAME of WinSta0, made
//                            first, as Windows starts a secure saver on "Screen-saver"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::wstring widen(const char* text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

HWND findWindow(const char* caption) {
  return FindWindowW(nullptr, widen(caption).c_str());
}

int printWindow(HWND window) {
  char className[256] = {};
  GetClassNameA(window, className, sizeof className);
  RECT outer{};
  RECT client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  std::printf("%llu %s %#lx %#lx %ld %ld %ld %ld %ld %ld %ld %ld\n",
              static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), className,
              static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)), outer.left,
              outer.top, outer.right, outer.bottom, client.left, client.top, client.right,
              client.bottom);
  return 0;
}

BOOL CALLBACK printChild(HWND child, LPARAM) {
  wchar_t caption[256] = {};
  GetWindowTextW(child, caption, 256);
  char utf8[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, caption, -1, utf8, sizeof utf8, nullptr, nullptr);
  RECT rect{};
  GetWindowRect(child, &rect);
  std::printf("%llu %ld %ld %ld %ld %s\n",
              static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(child)), rect.left,
              rect.top, rect.right, rect.bottom, utf8);
  return TRUE;
}

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int runHost(int width, int height) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = hostProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"SorvantaTestHost";
  RegisterClassW(&windowClass);
  RECT rect{0, 0, width, height};
  AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
  HWND window = CreateWindowW(L"SorvantaTestHost", L"Sorvanta host", WS_OVERLAPPEDWINDOW, 0, 0,
                              rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
  ShowWindow(window, SW_SHOW);
  std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  std::fflush(stdout);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
  return 0;
}

BOOL CALLBACK printControl(HWND control, LPARAM) {
  char className[64] = {};
  GetClassNameA(control, className, sizeof className);
  std::printf("%d %d %s\n", GetDlgCtrlID(control), IsWindowEnabled(control) ? 1 : 0, className);
  return TRUE;
}

int printFocus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ||
      info.hwndFocus == nullptr) {
    return 1;
  }
  HWND focus = info.hwndFocus;
  char className[64] = {};
  GetClassNameA(GetParent(focus), className, sizeof className);
  if (std::strcmp(className, "ComboBox") == 0) {
    focus = GetParent(focus);  // the edit part of a drop-down combo
  }
  GetClassNameA(focus, className, sizeof className);
  std::printf("%d %s\n", GetDlgCtrlID(focus), className);
  return 0;
}

int endSession(HWND window) {
  const LRESULT answer = SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  std::printf("%d\n", answer ? 1 : 0);
  std::fflush(stdout);
  SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  return 0;
}

// Keeps a file open, shared for reading only, so that nothing can delete or replace it
// until the process is ended, as another program using the file would.
int holdFile(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(INFINITE);
  return 0;
}

int printShortPath(const char* path) {
  wchar_t shortPath[32768] = {};
  if (GetShortPathNameW(widen(path).c_str(), shortPath, 32768) == 0) {
    return 1;
  }
  char utf8[32768 * 3] = {};
  WideCharToMultiByte(CP_UTF8, 0, shortPath, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%s\n", utf8);
  return 0;
}

// Starts the program with the application name given and the command line as it is,
// on the given desktop (null: this one's), and waits for it to end.
int spawn(const char* application, const char* commandLine, const wchar_t* desktop) {
  std::wstring command = widen(commandLine);
  std::wstring desktopName = desktop != nullptr ? desktop : L"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop != nullptr ? desktopName.data() : nullptr;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(widen(application).c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "CreateProcessW: error %lu\n", GetLastError());
    return 126;
  }
  std::printf("%lu\n", process.dwProcessId);
  std::fflush(stdout);
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

int spawnOnDesktop(const char* name, const char* application, const char* commandLine) {
  const std::wstring wideName = widen(name);
  HDESK desktop = CreateDesktopW(wideName.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  if (desktop == nullptr) {
    std::fprintf(stderr, "CreateDesktopW: error %lu\n", GetLastError());
    return 126;
  }
  const std::wstring fullName = L"WinSta0\\" + wideName;
  const int code = spawn(application, commandLine, fullName.c_str());
  CloseDesktop(desktop);
  return code;
}

int record(int argc, char** argv) {
  FILE* file = std::fopen(argv[2], "a");
  if (file == nullptr) {
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    std::fprintf(file, i == 3 ? "%s" : " %s", argv[i]);
  }
  std::fprintf(file, "\n");
  std::fclose(file);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "record") == 0) {
    return record(argc, argv);
  }
  if (argc == 2 && std::strcmp(argv[1], "cursor") == 0) {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    if (!GetCursorInfo(&info)) {
      return 1;
    }
    std::printf("%d\n", (info.flags & CURSOR_SHOWING) ? 1 : 0);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "hold") == 0) {
    return holdFile(argv[2]);
  }
  if (argc == 3 && std::strcmp(argv[1], "shortpath") == 0) {
    return printShortPath(argv[2]);
  }
  if (argc == 5 && std::strcmp(argv[1], "resize") == 0) {
    HWND window = findWindow(argv[2]);
    return window != nullptr &&
                   SetWindowPos(window, nullptr, 0, 0, std::atoi(argv[3]), std::atoi(argv[4]),
                                SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 1;
  }
  if (argc == 4 && std::strcmp(argv[1], "spawn") == 0) {
    return spawn(argv[2], argv[3], nullptr);
  }
  if (argc == 5 && std::strcmp(argv[1], "ondesktop") == 0) {
    return spawnOnDesktop(argv[2], argv[3], argv[4]);
  }
  if (argc == 4 && std::strcmp(argv[1], "host") == 0) {
    return runHost(std::atoi(argv[2]), std::atoi(argv[3]));
  }
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: wintool find|close|quit CAPTION | cursor | children HWND | hold FILE\n");
    return 2;
  }
  if (std::strcmp(argv[1], "children") == 0) {
    HWND parent =
        reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(argv[2], nullptr, 10)));
    EnumChildWindows(parent, printChild, 0);
    return 0;
  }
  HWND window = findWindow(argv[2]);
  if (window == nullptr) {
    return 1;
  }
  if (std::strcmp(argv[1], "find") == 0) {
    return printWindow(window);
  }
  if (std::strcmp(argv[1], "close") == 0) {
    return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (std::strcmp(argv[1], "quit") == 0) {
    return PostMessageW(window, WM_QUIT, 0, 0) ? 0 : 1;
  }
  if (std::strcmp(argv[1], "displaychange") == 0) {
    SendMessageW(window, WM_DISPLAYCHANGE, 32,
                 MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    return 0;
  }
  if (std::strcmp(argv[1], "controls") == 0) {
    EnumChildWindows(window, printControl, 0);
    return 0;
  }
  if (std::strcmp(argv[1], "focus") == 0) {
    return printFocus(window);
  }
  if (std::strcmp(argv[1], "endsession") == 0) {
    return endSession(window);
  }
  return 2;
}
