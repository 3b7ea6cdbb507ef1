// The desktop picture read back from X: under XScreenSaver from the daemon's image
// helper (xscreensaver-getimage), on its own a photograph of the root window.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sorvanta::hack {

struct Picture {
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top row first
  int width = 0;
  int height = 0;
};

// Stand-alone: the screen as it is before the hack's own window appears.
Picture photographRoot(Display* display);

// Under XScreenSaver: the daemon's image helper paints its chosen picture (normally
// the desktop as it was before blanking, if the user allows that) onto a pixmap of
// the window's size, while the hack draws on without it. One at a time.
class HelperPicture {
 public:
  // Starts the helper for the window; nothing waits for it.
  HelperPicture(Display* display, Window window);
  HelperPicture(const HelperPicture&) = delete;
  HelperPicture& operator=(const HelperPicture&) = delete;
  // Ends a helper still running, with everything it started.
  ~HelperPicture();

  // Looks without waiting: false while the helper works; true once it is over, with
  // its picture in `picture`, which stays empty when the helper is missing, fails or
  // takes longer than its time.
  bool collect(Picture& picture);

 private:
  void freePixmap();

  Display* display_;
  XWindowAttributes attributes_{};
  Pixmap pixmap_ = None;
  pid_t child_ = -1;
  double deadline_ = 0.0;
};

// Ends a running image helper with everything it started (its process group) and
// waits for it; safe in a signal handler, so that no child outlives the hack.
void endImageHelper();

// An X id as the helper and the messages write it: "0x" and hexadecimal.
std::string windowIdText(unsigned long id);

}  // namespace sorvanta::hack
