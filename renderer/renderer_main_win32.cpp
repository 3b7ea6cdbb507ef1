// Sorvanta.dll's entry: the display mode, the window and its OpenGL context, the frame
// loop with its automatic swing and message pump, and the orderly end.
#include <windows.h>

#include "pixel_format_win32.h"

#include <cstdint>
#include <new>
#include <string>

#include "exchange/folder_looks_win32.h"
#include "exchange/system_dlls_win32.h"
#include "exchange/tga_layout.h"
#include "exchange/window_names.h"
#include "frame_timer.h"
#include "monitor_covers_win32.h"
#include "scene_app.h"
#include "swap_interval_win32.h"
#include "view_swing.h"

extern "C" const ImgDelayDescr SORVANTA_DELAY_DESCRIPTOR(opengl32);
extern "C" const ImgDelayDescr SORVANTA_DELAY_DESCRIPTOR(glu32);
extern "C" const ImgDelayDescr SORVANTA_DELAY_DESCRIPTOR(winmm);

namespace {

constexpr char kWindowClassName[] = "GLClass";
constexpr const char* kWindowTitle = exchange::kRendererWindowCaption;
constexpr char kFullscreenFailedMessage[] =
    "Failed to create a fullscreen window; switching to windowed...";
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr DWORD kScreenBitsPerPixel = 32;

// Program-wide state of the entry module, all used by its one thread.
struct RendererState {
  sorvanta::SceneApp* theApp = nullptr;
  HDC contextDC = nullptr;  // taken on WM_CREATE; the context is made for it
  HGLRC glContext = nullptr;
  HDC swapDC = nullptr;  // taken again once the window exists; every frame is swapped on it
  bool quitRequested = false;
  bool fullscreen = false;  // the renderer's own display mode is in force
  int frameCounter = 0;     // drives the automatic view swing
};

RendererState state;

std::uint32_t currentTick() {
  return timeGetTime();
}

// Leaves no context current when any step fails; nothing is reported here, the
// scene's start then fails because it can't query the GL, and the program ends.
void createGlContext(HWND window) {
  state.contextDC = GetDC(window);
  if (state.contextDC == nullptr || !setupPixelFormat(state.contextDC)) {
    return;
  }
  state.glContext = wglCreateContext(state.contextDC);
  if (state.glContext == nullptr) {
    return;
  }
  if (wglMakeCurrent(state.contextDC, state.glContext) == FALSE) {
    wglDeleteContext(state.glContext);
    state.glContext = nullptr;
    return;
  }
  sorvanta::askForOneFramePerRefresh();  // a driver without the extension keeps its own
}

// The context goes with the first of WM_CLOSE and WM_DESTROY; both post the quit. A
// WM_QUIT posted from outside never reaches the window procedure: it ends the loop in
// the message pump, and the context is still current when the scene is released.
void deleteGlContextAndQuit() {
  if (state.glContext != nullptr) {
    wglMakeCurrent(state.contextDC, nullptr);
    wglDeleteContext(state.glContext);
    state.glContext = nullptr;
  }
  PostQuitMessage(0);
}

void handleKey(HWND window, WPARAM key) {
  switch (key) {
    case VK_ESCAPE:
      DestroyWindow(window);
      break;
    case VK_LEFT:
      if (state.theApp != nullptr) {
        state.theApp->incrementViewAngle();
      }
      break;
    case VK_RIGHT:
      if (state.theApp != nullptr) {
        state.theApp->decrementViewAngle();
      }
      break;
    default:
      break;
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      createGlContext(window);
      break;
    case WM_DESTROY:
    case WM_CLOSE:
      deleteGlContextAndQuit();
      break;
    case WM_SIZE:
      if (state.theApp != nullptr) {
        state.theApp->resize(LOWORD(lParam), HIWORD(lParam));
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      break;
    }
    case WM_KEYDOWN:
      handleKey(window, wParam);
      break;
    case WM_DISPLAYCHANGE:
      sorvanta::coverMonitorsAgain(window);
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool registerWindowClass(HINSTANCE instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(WNDCLASSEXA);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kWindowClassName;
  windowClass.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
  return RegisterClassExA(&windowClass) != 0;
}

DEVMODEA rendererDisplayMode() {
  DEVMODEA mode{};
  mode.dmSize = sizeof(DEVMODEA);
  mode.dmPelsWidth = kScreenWidth;
  mode.dmPelsHeight = kScreenHeight;
  mode.dmBitsPerPel = kScreenBitsPerPixel;
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  return mode;
}

bool displayAlreadyIn(const DEVMODEA& wanted) {
  DEVMODEA current{};
  current.dmSize = sizeof(DEVMODEA);
  return EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current) != FALSE &&
         current.dmPelsWidth == wanted.dmPelsWidth && current.dmPelsHeight == wanted.dmPelsHeight &&
         current.dmBitsPerPel == wanted.dmBitsPerPel;
}

// Puts the display in the renderer's mode for as long as it lives, and gives the user
// their own mode back on every way out, early exits included. A display already in
// that mode is left alone: there is nothing to switch or to undo, and asking anyway
// costs a start about a tenth of a second under Wine, which enumerates the whole
// display again for every change.
class DisplayModeSwitch {
 public:
  DisplayModeSwitch() {
    DEVMODEA mode = rendererDisplayMode();
    state.fullscreen = true;
    if (displayAlreadyIn(mode)) {
      return;
    }
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL) {
      switched_ = true;
      return;
    }
    MessageBoxA(nullptr, kFullscreenFailedMessage, nullptr, MB_ICONERROR);
    state.fullscreen = false;
  }
  DisplayModeSwitch(const DisplayModeSwitch&) = delete;
  DisplayModeSwitch& operator=(const DisplayModeSwitch&) = delete;
  ~DisplayModeSwitch() {
    // The restore's display change would cover the user's monitors once more.
    sorvanta::closeMonitorCovers();
    if (switched_) {
      ChangeDisplaySettingsA(nullptr, 0);
    }
  }

 private:
  bool switched_ = false;
};

HWND createSceneWindow(HINSTANCE instance) {
  DWORD style = WS_OVERLAPPEDWINDOW;
  DWORD extendedStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
  if (state.fullscreen) {
    style = WS_POPUP;
    extendedStyle = WS_EX_APPWINDOW;
    ShowCursor(FALSE);
  }
  RECT rect{0, 0, kScreenWidth, kScreenHeight};
  AdjustWindowRectEx(&rect, style, FALSE, extendedStyle);
  // The extended style only sizes the frame; the window itself is created without one.
  return CreateWindowExA(0, kWindowClassName, kWindowTitle,
                         style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, rect.right - rect.left,
                         rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
}

void destroyApp() {
  delete state.theApp;
  state.theApp = nullptr;
}

// Drains the message queue without waiting; a WM_QUIT ends the loop.
void pumpMessages(MSG& message) {
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (GetMessageA(&message, nullptr, 0, 0) == 0) {
      state.quitRequested = true;
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

WPARAM runFrameLoop() {
  sorvanta::FrameTimer timer(currentTick);
  timer.start();
  MSG message{};
  while (!state.quitRequested) {
    state.theApp->update(timer.elapsedSeconds());
    state.theApp->drawScene();
    SwapBuffers(state.swapDC);
    sorvanta::advanceViewSwing(state.frameCounter, *state.theApp);
    pumpMessages(message);
  }
  return message.wParam;
}

// The renderer's delay-loaded DLLs, each bound from System32 alone before anything
// calls into them. Without any of them it cannot run: it ends as a failed start does,
// before the display is touched.
bool loadRendererDlls() {
  return exchange::bindSystemDll(L"opengl32.dll", SORVANTA_DELAY_DESCRIPTOR(opengl32)) &&
         exchange::bindSystemDll(L"glu32.dll", SORVANTA_DELAY_DESCRIPTOR(glu32)) &&
         exchange::bindSystemDll(L"winmm.dll", SORVANTA_DELAY_DESCRIPTOR(winmm));
}

// The pictures are read only from an exchange folder that is no link (anyone on the PC
// can put one in its place); otherwise the scene gets no pictures and shows its
// untextured fallbacks, as for missing files.
sorvanta::SceneApp::ImagePaths rendererImagePaths() {
  const std::string folder = exchange::kFolder;
  if (!exchange::folderIsPlain(std::wstring(folder.begin(), folder.end()).c_str())) {
    return {};
  }
  return sorvanta::SceneApp::exchangeImagePaths();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  exchange::restrictDllSearchToSystem32();
  if (!loadRendererDlls()) {
    return 0;
  }
  state.theApp = new (std::nothrow) sorvanta::SceneApp(rendererImagePaths());
  if (state.theApp == nullptr) {
    return 0;
  }
  if (!registerWindowClass(instance)) {
    destroyApp();
    return 0;
  }
  const DisplayModeSwitch displayMode;
  HWND window = createSceneWindow(instance);
  if (window == nullptr) {
    destroyApp();
    return 0;
  }
  state.swapDC = GetDC(window);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  if (state.fullscreen) {
    sorvanta::openMonitorCovers(window);
  }
  // Started by an invisible front end, which allowed it the foreground: the scene
  // window takes it, and the keys, so that Escape reaches it.
  SetForegroundWindow(window);
  SetFocus(window);
  if (!state.theApp->initScene()) {
    destroyApp();
    return 0;
  }
  const WPARAM exitCode = runFrameLoop();
  // After WM_CLOSE or WM_DESTROY the context, and every GL object with it, is gone.
  if (state.glContext != nullptr) {
    state.theApp->releaseScene();
  }
  destroyApp();
  return static_cast<int>(exitCode);
}
