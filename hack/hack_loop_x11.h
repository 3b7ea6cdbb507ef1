// The running hack: it finds its surface, takes the desktop picture (or starts the
// image helper, whose picture goes on the floor in the frame after it comes), makes
// the GLX context and the scene, then draws frame after frame with XScreenSaver's
// pacing until Escape, the window's close or the window's loss ends it.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <memory>

#include "hack_options.h"
#include "image_helper_x11.h"
#include "scene_app.h"
#include "surface_x11.h"

namespace sorvanta::hack {

// X errors: a window the daemon has already destroyed ends the hack quietly; any
// other error is reported and makes the exit status a failure.
int onXError(Display* display, XErrorEvent* event);
bool windowWasLost();
bool otherXErrorSeen();

class Hack {
 public:
  Hack(Display* display, const Options& options) : display_(display), options_(options) {}
  Hack(const Hack&) = delete;
  Hack& operator=(const Hack&) = delete;
  ~Hack();

  // Window, picture, context and scene; false when any of them can't be had.
  bool start();
  void run();

 private:
  bool findSurface();
  Picture takeFloorPicture();
  void takeArrivedPicture();
  bool createContext();
  void handleEvents();
  void handleEvent(const XEvent& event);
  void resizeTo(int width, int height);
  void waitBetweenFrames();
  bool running() const { return !closeRequested_ && !windowWasLost(); }

  Display* display_;
  Options options_;
  Surface surface_;
  GLXContext context_ = nullptr;
  std::unique_ptr<sorvanta::SceneApp> theApp;
  std::unique_ptr<HelperPicture> helperPicture_;  // the helper's picture, while it comes
  bool sceneReady_ = false;
  bool closeRequested_ = false;
  int frameCounter = 0;
  Atom deleteWindow_ = None;
};

}  // namespace sorvanta::hack
