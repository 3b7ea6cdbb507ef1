#include "saver/run/run_form_win32.h"

#include "exchange/window_names.h"
#include "saver/capture/exchange_folder_win32.h"
#include "saver/capture/exchange_images.h"
#include "saver/capture/wallpaper_layout.h"
#include "saver/capture/wallpaper_win32.h"
#include "saver/text/wide_text_win32.h"

namespace Sorvanta_B {

namespace {

constexpr wchar_t kWindowClass[] = L"Sorvanta_S";
constexpr const wchar_t* kCaption = exchange::kRunFormCaptionW.text;
// The stone picture the form carries (a bitmap resource of the program).
constexpr char kStonePictureResource[] = "SORVANTA_STONE_TEXTURE";
// How long a renderer whose window has gone may take to restore the display mode and
// end before its job ends it with the front end.
constexpr DWORD kRendererEndingMs = 5000;

UINT_PTR timerId(RunTimer timer) {
  return static_cast<UINT_PTR>(timer) + 1;
}

UINT timerInterval(RunTimer timer) {
  switch (timer) {
    case RunTimer::Timer1:
      return 1000;
    case RunTimer::Timer2:
      return 200;
    case RunTimer::Timer3:
      return 500;
  }
  return 500;
}

}  // namespace

std::unique_ptr<Sorvanta_S> Sorvanta_S::load(HINSTANCE instance, const RunSettings& settings,
                                             MusicPlayer& music, int& savedCursorCount) {
  std::unique_ptr<Sorvanta_S> form(new Sorvanta_S(instance, settings, music, savedCursorCount));
  if (!form->createWindow()) {
    return nullptr;
  }
  form->pic2_.loadBitmapResource(instance, kStonePictureResource);
  form->setTimerEnabled(RunTimer::Timer3, true);
  form->logic_.onLoad();
  return form;
}

Sorvanta_S::Sorvanta_S(HINSTANCE instance, const RunSettings& settings, MusicPlayer& music,
                       int& savedCursorCount)
    : instance_(instance), logic_(*this, music, settings, savedCursorCount) {}

Sorvanta_S::~Sorvanta_S() {
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  letEndingRendererFinish();
  if (rendererProcess_ != nullptr) {
    CloseHandle(rendererProcess_);
  }
}

// A renderer whose window has gone is ending by itself: it finishes (the display mode
// restored) before the front end ends and its job with it. One that still shows its
// window ends with the job.
void Sorvanta_S::letEndingRendererFinish() {
  if (rendererProcess_ != nullptr && !rendererWindowExists()) {
    WaitForSingleObject(rendererProcess_, kRendererEndingMs);
  }
}

bool Sorvanta_S::createWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance_;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassW(&windowClass);  // already registered is fine
  // No border and no caption bar, screen-sized, never shown.
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, kCaption, WS_POPUP, 0, 0,
                            GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                            nullptr, instance_, this);
  return window_ != nullptr;
}

LRESULT CALLBACK Sorvanta_S::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* creating = static_cast<Sorvanta_S*>(create->lpCreateParams);
    creating->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
  }
  auto* form = reinterpret_cast<Sorvanta_S*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return form->handle(message, wParam, lParam);
}

LRESULT Sorvanta_S::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == timerId(RunTimer::Timer1)) {
        logic_.onTimer1();
      } else if (wParam == timerId(RunTimer::Timer2)) {
        logic_.onTimer2();
      } else if (wParam == timerId(RunTimer::Timer3)) {
        logic_.onTimer3();
      }
      return 0;
    case WM_CLOSE:
      runCloseHandler();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // a log-off or shut-down is never refused
    case WM_ENDSESSION:
      // The session ends: the process may be ended as soon as this returns, so the
      // close steps (music stopped, cursor shown) run now.
      if (wParam != FALSE) {
        runCloseHandler();
      }
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

// The close handler runs once, whatever closes the form, and never refuses.
void Sorvanta_S::runCloseHandler() {
  if (!closing_) {
    closing_ = true;
    logic_.onClose();
  }
}

// On a secure saver's own desktop a grab reads an empty desktop, and nothing behind the
// lock may be photographed: the floor is then the wallpaper, as it is after a failed grab.
void Sorvanta_S::grabDesktop() {
  using namespace sorvanta::capture;
  if (isSecureSaverDesktop(currentDesktopName()) || !pic1_.grabDesktop()) {
    showWallpaper(pic1_);
  }
}

void Sorvanta_S::writeExchangeImages() {
  sorvanta::capture::ExchangeFolderPortWin32 folder;
  (void)sorvanta::capture::writeExchangeImages(folder, pic1_, pic2_);
}

void Sorvanta_S::startRenderer(const std::string& path) {
  const std::wstring program = widen(path);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  // Suspended until it is in its job, so that nothing of it runs outside the job.
  if (!CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      nullptr, &startup, &process)) {
    return;
  }
  rendererJob_.hold(process.hProcess);  // without a job the run goes on as before
  if (ResumeThread(process.hThread) == static_cast<DWORD>(-1)) {
    TerminateProcess(process.hProcess, 0);  // never to run: as if it had not started
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return;
  }
  // The front end is never shown, so Windows would not let the renderer take the
  // foreground, and Escape could go to another program.
  AllowSetForegroundWindow(process.dwProcessId);
  CloseHandle(process.hThread);
  rendererProcess_ = process.hProcess;
}

bool Sorvanta_S::rendererWindowExists() {
  return FindWindowW(nullptr, widen(kRendererWindowCaption).c_str()) != nullptr;
}

bool Sorvanta_S::rendererHasEnded() {
  return rendererProcess_ == nullptr || WaitForSingleObject(rendererProcess_, 0) == WAIT_OBJECT_0;
}

void Sorvanta_S::setTimerEnabled(RunTimer timer, bool enabled) {
  if (enabled) {
    SetTimer(window_, timerId(timer), timerInterval(timer), nullptr);
  } else {
    KillTimer(window_, timerId(timer));
  }
}

void Sorvanta_S::unloadForm() {
  SendMessageW(window_, WM_CLOSE, 0, 0);
}

int Sorvanta_S::showCursor() {
  return ShowCursor(TRUE);
}

void Sorvanta_S::endProgram() {
  PostQuitMessage(0);
}

}  // namespace Sorvanta_B
