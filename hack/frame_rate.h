// The frame rate the -fps corner shows, counted from the frames' times. Portable; the
// corner itself is fps_overlay_x11.
#pragma once

#include <string>

namespace sorvanta::hack {

// Frames counted over about a second at a time, for the -fps corner.
class FrameRate {
 public:
  // Called after every frame with a steady clock in seconds.
  void frameDrawn(double nowSeconds);
  // "FPS: 29.9" once the first second has been counted, empty before.
  const std::string& text() const { return text_; }

 private:
  double windowStart_ = -1.0;
  int frames_ = 0;
  std::string text_;
};

}  // namespace sorvanta::hack
