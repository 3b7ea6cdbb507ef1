#include "hack_loop_x11.h"

#include <X11/keysym.h>
#include <poll.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "exchange_image.h"
#include "frame_timer.h"
#include "fps_overlay_x11.h"
#include "memory_file.h"
#include "monotonic_clock.h"
#include "scene_textures.h"
#include "stone_texture.h"
#include "view_swing.h"

namespace sorvanta::hack {
namespace {

bool windowLost = false;
bool otherXError = false;

// Under XScreenSaver the daemon names the window (or the settings program's preview
// hands one over); then the picture comes from the daemon's image helper.
bool underXScreenSaver(const Options& options) {
  return options.target == Target::kGivenWindow || std::getenv("XSCREENSAVER_WINDOW") != nullptr;
}

// A program of a Wayland session runs on XWayland, whose root window holds none of the
// desktop's pixels: a photograph of it would lay a blank picture on the floor.
bool underWayland() {
  return std::getenv("WAYLAND_DISPLAY") != nullptr;
}

}  // namespace

int onXError(Display* display, XErrorEvent* event) {
  if (event->error_code == BadWindow || event->error_code == BadDrawable) {
    windowLost = true;
    return 0;
  }
  char text[256];
  XGetErrorText(display, event->error_code, text, sizeof text);
  std::fprintf(stderr, "sorvanta: X error: %s\n", text);
  otherXError = true;
  return 0;
}

bool windowWasLost() {
  return windowLost;
}

bool otherXErrorSeen() {
  return otherXError;
}

Hack::~Hack() {
  helperPicture_.reset();
  if (context_ != nullptr) {
    if (sceneReady_ && !windowLost) {
      theApp->releaseScene();
    }
    glXMakeCurrent(display_, None, nullptr);
    glXDestroyContext(display_, context_);
  }
  theApp.reset();
  if (surface_.drawable != None && (surface_.own || surface_.followed != None)) {
    XDestroyWindow(display_, surface_.drawable);
  }
  if (surface_.visual != nullptr) {
    XFree(surface_.visual);
  }
  XSync(display_, False);
}

bool Hack::findSurface() {
  switch (options_.target) {
    case Target::kOwnWindow:
      return makeOwnWindow(display_, options_, surface_);
    case Target::kGivenWindow:
      return useGivenWindow(display_, static_cast<Window>(options_.windowId), surface_);
    case Target::kRoot:
      return useGivenWindow(display_, windowFromEnvironment(display_), surface_);
  }
  return false;
}

// Under XScreenSaver the helper is only started here: the scene draws with an
// untextured floor until its picture comes (takeArrivedPicture).
Picture Hack::takeFloorPicture() {
  if (underXScreenSaver(options_)) {
    const Window given = surface_.followed != None ? surface_.followed : surface_.drawable;
    helperPicture_ = std::make_unique<HelperPicture>(display_, given);
    return {};
  }
  return underWayland() ? Picture{} : photographRoot(display_);
}

void Hack::takeArrivedPicture() {
  Picture floor;
  if (helperPicture_ == nullptr || !helperPicture_->collect(floor)) {
    return;
  }
  helperPicture_.reset();
  if (!floor.pixels.empty()) {
    const MemoryFile file(encodeExchangeImage(floor.pixels, floor.width, floor.height));
    textures::fillFloorTexture(file.path().c_str(), theApp->floorTexture);
  }
}

bool Hack::createContext() {
  context_ = glXCreateContext(display_, surface_.visual, nullptr, True);
  if (context_ == nullptr) {
    return false;
  }
  return glXMakeCurrent(display_, surface_.drawable, context_) == True;
}

bool Hack::start() {
  if (!findSurface()) {
    std::fprintf(stderr, "sorvanta: no window with a suitable GL visual\n");
    return false;
  }
  // The photograph comes before any window of the hack's own is mapped, so it shows
  // the desktop.
  const Picture floor = takeFloorPicture();
  if (surface_.own) {
    deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XMapRaised(display_, surface_.drawable);
  } else if (surface_.followed != None) {
    XMapWindow(display_, surface_.drawable);
  }
  if (!createContext()) {
    std::fprintf(stderr, "sorvanta: cannot create a GL context\n");
    return false;
  }
  const MemoryFile stone(sorvanta::stone_texture::encodeTga(sorvanta::stone_texture::makePixels()));
  const MemoryFile desktop(floor.pixels.empty() ? std::vector<std::uint8_t>()
                                                : sorvanta::hack::encodeExchangeImage(
                                                      floor.pixels, floor.width, floor.height));
  theApp = std::make_unique<sorvanta::SceneApp>(
      sorvanta::SceneApp::ImagePaths{stone.path(), floor.pixels.empty() ? "" : desktop.path()});
  if (!theApp->initScene()) {
    std::fprintf(stderr, "sorvanta: the scene could not start\n");
    return false;
  }
  sceneReady_ = true;
  theApp->resize(surface_.width, surface_.height);
  return true;
}

void Hack::resizeTo(int width, int height) {
  if (width == surface_.width && height == surface_.height) {
    return;
  }
  surface_.width = width;
  surface_.height = height;
  if (surface_.followed != None) {
    XResizeWindow(display_, surface_.drawable, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
  }
  theApp->resize(width, height);
}

void Hack::handleEvent(const XEvent& event) {
  switch (event.type) {
    case ConfigureNotify: {
      const Window changed = event.xconfigure.window;
      if (changed == surface_.drawable || changed == surface_.followed) {
        resizeTo(event.xconfigure.width, event.xconfigure.height);
      }
      break;
    }
    case ClientMessage:
      if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_ && deleteWindow_ != None) {
        closeRequested_ = true;
      }
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == surface_.drawable ||
          event.xdestroywindow.window == surface_.followed) {
        windowLost = true;
      }
      break;
    case KeyPress: {
      XKeyEvent key = event.xkey;
      const KeySym symbol = XLookupKeysym(&key, 0);
      if (symbol == XK_Escape) {
        closeRequested_ = true;
      } else if (symbol == XK_Left) {
        theApp->incrementViewAngle();
      } else if (symbol == XK_Right) {
        theApp->decrementViewAngle();
      }
      break;
    }
    default:
      break;
  }
}

void Hack::handleEvents() {
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    handleEvent(event);
  }
}

// Waits out the delay, handling X events as they come.
void Hack::waitBetweenFrames() {
  const double deadline = monotonicSeconds() + options_.delayMicroseconds / 1e6;
  for (;;) {
    handleEvents();
    const double remaining = deadline - monotonicSeconds();
    if (!running() || remaining <= 0.0) {
      return;
    }
    pollfd connection{ConnectionNumber(display_), POLLIN, 0};
    const timespec timeout{static_cast<time_t>(remaining),
                           static_cast<long>((remaining - static_cast<time_t>(remaining)) * 1e9)};
    ppoll(&connection, 1, &timeout, nullptr);
  }
}

void Hack::run() {
  FpsOverlay fps(display_, options_.showFps);
  sorvanta::FrameTimer timer(monotonicMilliseconds);
  timer.start();
  handleEvents();
  while (running()) {
    takeArrivedPicture();
    theApp->update(timer.elapsedSeconds());
    theApp->drawScene();
    fps.frameDrawn(surface_.width, surface_.height);
    glXSwapBuffers(display_, surface_.drawable);
    sorvanta::advanceViewSwing(frameCounter, *theApp);
    waitBetweenFrames();
  }
}

}  // namespace sorvanta::hack
