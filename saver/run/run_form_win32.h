// Sorvanta_S, the running screen saver's form: a hidden, screen-sized window
// captioned kRunFormCaption (the marker a second start looks for) with the two
// pictures and the three timers. Its decisions live in RunFormLogic.
#pragma once

#include <windows.h>

#include <memory>

#include "saver/capture/offscreen_picture_win32.h"
#include "saver/run/renderer_job_win32.h"
#include "saver/run/run_form.h"

namespace Sorvanta_B {

class Sorvanta_S final : public RunFormPort {
 public:
  // Creates the form and runs its load handler; null when the window can't be made.
  static std::unique_ptr<Sorvanta_S> load(HINSTANCE instance, const RunSettings& settings,
                                          MusicPlayer& music, int& savedCursorCount);
  ~Sorvanta_S() override;
  Sorvanta_S(const Sorvanta_S&) = delete;
  Sorvanta_S& operator=(const Sorvanta_S&) = delete;

  // RunFormPort
  void grabDesktop() override;
  void writeExchangeImages() override;
  void startRenderer(const std::string& path) override;
  bool rendererWindowExists() override;
  bool rendererHasEnded() override;
  void setTimerEnabled(RunTimer timer, bool enabled) override;
  void unloadForm() override;
  int showCursor() override;
  void endProgram() override;

 private:
  Sorvanta_S(HINSTANCE instance, const RunSettings& settings, MusicPlayer& music,
             int& savedCursorCount);
  bool createWindow();
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void runCloseHandler();
  void letEndingRendererFinish();
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  RunFormLogic logic_;
  sorvanta::capture::OffscreenPicture pic1_;  // the desktop
  sorvanta::capture::OffscreenPicture pic2_;  // the fixed stone picture
  HANDLE rendererProcess_ = nullptr;
  RendererJob rendererJob_;  // goes with the form: a renderer still running ends with it
  bool closing_ = false;
};

}  // namespace Sorvanta_B
