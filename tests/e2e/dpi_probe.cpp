// Plays the system's part in a change of scale, which Wine never plays itself, for
// test_dialog_dpi.py, and reads back where a window's controls stand.
//
//   dpi_probe send CAPTION DPI L T R B   sends WM_DPICHANGED (DPI across and down) to the
//                                        top-level window with that caption, its lParam
//                                        pointing at the suggested outer rectangle
//                                        L T R B written into the window's own process
//   dpi_probe places CAPTION             prints "window L T R B" (screen), "client X Y W H"
//                                        (the client area's screen origin and size), then
//                                        "ID CLASS X Y W H" for every window inside it,
//                                        relative to the client area's origin
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND findWindow(const char* caption) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, caption, -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, caption, -1, wide.data(), length);
  return FindWindowW(nullptr, wide.c_str());
}

// The rectangle is written into the receiving process: a pointer into this one would
// mean nothing there.
int sendDpiChanged(HWND window, int dpi, const RECT& suggested) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) {
    std::fprintf(stderr, "OpenProcess failed: %lu\n", GetLastError());
    return 1;
  }
  void* remote =
      VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  int result = 1;
  if (remote && WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr)) {
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
    result = 0;
  } else {
    std::fprintf(stderr, "writing the rectangle failed: %lu\n", GetLastError());
  }
  if (remote)
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return result;
}

BOOL CALLBACK printPlace(HWND control, LPARAM parent) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, reinterpret_cast<HWND>(parent), reinterpret_cast<POINT*>(&rect), 2);
  char className[64] = {};
  GetClassNameA(control, className, sizeof className);
  std::printf("%d %s %ld %ld %ld %ld\n", GetDlgCtrlID(control), className, rect.left, rect.top,
              rect.right - rect.left, rect.bottom - rect.top);
  return TRUE;
}

int printPlaces(HWND window) {
  RECT outer{};
  RECT client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  std::printf("window %ld %ld %ld %ld\n", outer.left, outer.top, outer.right, outer.bottom);
  std::printf("client %ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
  EnumChildWindows(window, printPlace, reinterpret_cast<LPARAM>(window));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool send = argc == 8 && std::strcmp(argv[1], "send") == 0;
  const bool places = argc == 3 && std::strcmp(argv[1], "places") == 0;
  if (!send && !places) {
    std::fprintf(stderr, "usage: dpi_probe send CAPTION DPI L T R B | places CAPTION\n");
    return 2;
  }
  HWND window = findWindow(argv[2]);
  if (!window)
    return 1;
  if (places)
    return printPlaces(window);
  const RECT suggested{std::atol(argv[4]), std::atol(argv[5]), std::atol(argv[6]),
                       std::atol(argv[7])};
  return sendDpiChanged(window, std::atoi(argv[3]), suggested);
}
