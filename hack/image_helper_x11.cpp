#include "image_helper_x11.h"

#include <X11/Xutil.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "exchange_image.h"
#include "monotonic_clock.h"

extern char** environ;

namespace sorvanta::hack {
namespace {

constexpr char kImageHelper[] = "xscreensaver-getimage";
// Debian keeps the helper with the hacks, on the PATH the daemon gives its hacks.
constexpr char kImageHelperPath[] = "/usr/libexec/xscreensaver/xscreensaver-getimage";
constexpr int kImageHelperTimeoutMilliseconds = 20000;

// The running helper, for the stop-signal handler. It leads a process group of its
// own: the helpers it starts itself (for image folders, videos and feeds) are in that
// group too.
volatile pid_t imageHelper = 0;

// Ends the helper's whole group. The helper, not yet reaped, keeps the group's id
// from being given to another process until this is done.
void endImageHelperGroup(pid_t child) {
  kill(-child, SIGKILL);
  imageHelper = 0;
  int status = 0;
  waitpid(child, &status, 0);
}

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
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
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

// Whether the helper has ended, without waiting. WNOWAIT: an ended helper stays
// unreaped, and its group id taken, until the group has been ended.
bool helperEnded(pid_t child, siginfo_t& ended) {
  ended = siginfo_t{};
  return waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOHANG | WNOWAIT) != 0 ||
         ended.si_pid == child;
}

bool endedWell(const siginfo_t& ended, pid_t child) {
  return ended.si_pid == child && ended.si_code == CLD_EXITED && ended.si_status == 0;
}

}  // namespace

std::string windowIdText(unsigned long id) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", id);
  return text;
}

void endImageHelper() {
  const pid_t child = imageHelper;
  if (child > 0) {
    endImageHelperGroup(child);
  }
}

Picture photographRoot(Display* display) {
  const int screen = DefaultScreen(display);
  return readDrawable(display, RootWindow(display, screen), DefaultVisual(display, screen),
                      DisplayWidth(display, screen), DisplayHeight(display, screen));
}

HelperPicture::HelperPicture(Display* display, Window window) : display_(display) {
  if (XGetWindowAttributes(display, window, &attributes_) == 0 || attributes_.width <= 0) {
    return;
  }
  pixmap_ = XCreatePixmap(display, window, static_cast<unsigned>(attributes_.width),
                          static_cast<unsigned>(attributes_.height),
                          static_cast<unsigned>(attributes_.depth));
  XSync(display, False);
  deadline_ = monotonicSeconds() + kImageHelperTimeoutMilliseconds / 1000.0;
  child_ = startImageHelper(window, pixmap_);
}

HelperPicture::~HelperPicture() {
  if (child_ > 0) {
    endImageHelperGroup(child_);
  }
  freePixmap();
}

void HelperPicture::freePixmap() {
  if (pixmap_ != None) {
    XFreePixmap(display_, pixmap_);
    XSync(display_, False);
    pixmap_ = None;
  }
}

// Once the helper has ended or its time is up, its group is ended, whatever is still
// running in it, and the pixmap is read when the helper finished its work.
bool HelperPicture::collect(Picture& picture) {
  if (child_ <= 0) {
    freePixmap();
    return true;
  }
  siginfo_t ended{};
  if (!helperEnded(child_, ended) && monotonicSeconds() < deadline_) {
    return false;
  }
  endImageHelperGroup(child_);
  if (endedWell(ended, child_)) {
    picture =
        readDrawable(display_, pixmap_, attributes_.visual, attributes_.width, attributes_.height);
  }
  child_ = -1;
  freePixmap();
  return true;
}

}  // namespace sorvanta::hack
