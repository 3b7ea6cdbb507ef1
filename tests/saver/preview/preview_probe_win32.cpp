// Runs the saver's preview embedding outside Sorvanta.scr, for the preview tests:
//
//   preview_probe embed HWND   embeds the preview form in the window HWND (of another
//                              process, as the screen-saver host's) and runs the loop
//   preview_probe look W H     makes its own host window "Sorvanta preview look" with a
//                              W x H client area, embeds the preview in it and runs
//                              the loop: foreign children don't paint under Wine, so
//                              the look is checked with host and preview in one process
//
// Both end when the preview form has gone (exit 0).
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "saver/preview/preview_win32.h"

namespace {

int runLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

HWND makeLookHost(HINSTANCE instance, int width, int height) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"SorvantaLookHost";
  RegisterClassW(&windowClass);
  RECT rect{0, 0, width, height};
  AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
  HWND host = CreateWindowW(L"SorvantaLookHost", L"Sorvanta preview look",
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, rect.right - rect.left,
                            rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
  ShowWindow(host, SW_SHOW);
  return host;
}

}  // namespace

int main(int argc, char** argv) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (argc == 3 && std::strcmp(argv[1], "embed") == 0) {
    const auto parent = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
    Sorvanta_B::embedPreview(instance, parent);
    return runLoop();
  }
  if (argc == 4 && std::strcmp(argv[1], "look") == 0) {
    HWND host = makeLookHost(instance, std::atoi(argv[2]), std::atoi(argv[3]));
    Sorvanta_B::embedPreview(instance,
                             static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(host)));
    return runLoop();
  }
  return 2;
}
