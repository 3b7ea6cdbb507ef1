// The start's floor, back half: the least the renderer must do before its first frame.
// It reads the launcher's two files, makes a 1024 x 768 window titled "Sorvanta floor"
// with an OpenGL context in the renderer's pixel format, clears it to grey and swaps
// once, then waits for Escape.
//   start_floor_gl.exe
#include <windows.h>

#include <vector>

#include "gl_api.h"
#include "gl_window_win32.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// The whole file in memory; empty when it can't be read.
std::vector<char> readFile(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return {};
  }
  std::vector<char> bytes(GetFileSize(file, nullptr));
  DWORD got = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

LRESULT CALLBACK floorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main() {
  const std::vector<char> desktop = readFile("C:\\q_floor\\desktop.tga");
  const std::vector<char> stone = readFile("C:\\q_floor\\stone.tga");
  if (desktop.empty() || stone.empty()) {
    return 1;
  }
  sorvanta::bench::GlWindow gl;
  if (!sorvanta::bench::openGlWindow("SorvantaStartFloor", "Sorvanta floor", floorWindowProc,
                                     kWidth, kHeight, gl)) {
    return 1;
  }
  glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  SwapBuffers(gl.dc);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  sorvanta::bench::closeGlContext(gl);
  return 0;
}
