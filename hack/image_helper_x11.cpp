#include "image_helper_x11.h"

#include <X11/Xutil.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "hack.h"
#include "monotonic_clock.h"

extern char** environ;

namespace sorvanta::hack {
namespace {

constexpr char kImageHelper[] = "xscreensaver-getimage";
// Debian keeps the helper with the hacks, on the PATH the daemon gives its hacks.
constexpr char kImageHelperPath[] = "/usr/libexec/xscreensaver/xscreensaver-getimage";
constexpr int kImageHelperTimeoutMilliseconds = 20000;

// The running helper, for the stop-signal handler.
volatile pid_t imageHelper = 0;

// Reads a drawable of a true-colour visual; nothing for other visuals.
Picture readDrawable(Display* display, Drawable drawable, const Visual* visual, int width,
                     int height) {
  Picture picture;
  if (visual == nullptr || width <= 0 || height <= 0) {
    return picture;
  }
  XImage* image = XGetImage(display, drawable, 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) {
    return picture;
  }
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      const std::uint32_t red = channelValue(pixel, visual->red_mask);
      const std::uint32_t green = channelValue(pixel, visual->green_mask);
      const std::uint32_t blue = channelValue(pixel, visual->blue_mask);
      picture.pixels[static_cast<std::size_t>(y) * width + x] = (red << 16) | (green << 8) | blue;
    }
  }
  XDestroyImage(image);
  return picture;
}

std::string windowIdText(unsigned long id) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", id);
  return text;
}

pid_t startImageHelper(Window window, Pixmap pixmap) {
  std::string windowText = windowIdText(window);
  std::string pixmapText = windowIdText(pixmap);
  char* arguments[] = {const_cast<char*>(kImageHelper), windowText.data(), pixmapText.data(),
                       nullptr};
  // The stop signals wait while the child starts, so the handler always knows it.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigset_t previous;
  sigprocmask(SIG_BLOCK, &stopSignals, &previous);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setsigmask(&attributes, &previous);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t child = 0;
  if (posix_spawnp(&child, kImageHelper, nullptr, &attributes, arguments, environ) != 0 &&
      posix_spawn(&child, kImageHelperPath, nullptr, &attributes, arguments, environ) != 0) {
    child = -1;
  }
  posix_spawnattr_destroy(&attributes);
  imageHelper = child;
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  return child;
}

// Waits for the helper; one that hangs is ended. True when it finished its work.
bool awaitImageHelper(pid_t child) {
  const double deadline = monotonicSeconds() + kImageHelperTimeoutMilliseconds / 1000.0;
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(child, &status, WNOHANG)) == 0 && monotonicSeconds() < deadline) {
    poll(nullptr, 0, 20);
  }
  if (done == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  imageHelper = 0;
  return done == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

void endImageHelper() {
  const pid_t child = imageHelper;
  if (child > 0) {
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
  }
}

Picture photographRoot(Display* display) {
  const int screen = DefaultScreen(display);
  return readDrawable(display, RootWindow(display, screen), DefaultVisual(display, screen),
                      DisplayWidth(display, screen), DisplayHeight(display, screen));
}

Picture imageFromHelper(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.width <= 0) {
    return {};
  }
  const Pixmap pixmap = XCreatePixmap(display, window, static_cast<unsigned>(attributes.width),
                                      static_cast<unsigned>(attributes.height),
                                      static_cast<unsigned>(attributes.depth));
  XSync(display, False);
  Picture picture;
  const pid_t child = startImageHelper(window, pixmap);
  if (child > 0 && awaitImageHelper(child)) {
    picture = readDrawable(display, pixmap, attributes.visual, attributes.width, attributes.height);
  }
  XFreePixmap(display, pixmap);
  XSync(display, False);
  return picture;
}

}  // namespace sorvanta::hack
