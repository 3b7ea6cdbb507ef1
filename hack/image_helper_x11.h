// The floor picture read back from X: under XScreenSaver from the daemon's image
// helper (xscreensaver-getimage), on its own a photograph of the root window.
#pragma once

#include <X11/Xlib.h>

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
// the window's size. Empty when the helper is missing, fails or hangs.
Picture imageFromHelper(Display* display, Window window);

// Ends a running image helper with everything it started (its process group) and
// waits for it; safe in a signal handler, so that no child outlives the hack.
void endImageHelper();

// An X id as the helper and the messages write it: "0x" and hexadecimal.
std::string windowIdText(unsigned long id);

}  // namespace sorvanta::hack
