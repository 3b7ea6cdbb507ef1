// The -fps corner: the frame rate in yellow at the top left, drawn with GL display
// lists of X's "fixed" font over the finished frame.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include "frame_rate.h"

namespace sorvanta::hack {

class FpsOverlay {
 public:
  // Does nothing at all unless enabled (and the font is there).
  FpsOverlay(Display* display, bool enabled);
  FpsOverlay(const FpsOverlay&) = delete;
  FpsOverlay& operator=(const FpsOverlay&) = delete;
  ~FpsOverlay();

  // Counts the frame and draws the corner over it.
  void frameDrawn(int width, int height);

 private:
  static constexpr int kFirstGlyph = 32;
  static constexpr int kGlyphCount = 96;

  void draw(int width, int height);

  Display* display_;
  XFontStruct* font_ = nullptr;
  GLuint lists_ = 0;
  FrameRate rate_;
};

}  // namespace sorvanta::hack
