#include "frame_rate.h"

#include <cstdio>

namespace sorvanta::hack {

void FrameRate::frameDrawn(double nowSeconds) {
  if (windowStart_ < 0.0) {
    windowStart_ = nowSeconds;
    return;
  }
  ++frames_;
  const double elapsed = nowSeconds - windowStart_;
  if (elapsed < 1.0) {
    return;
  }
  char text[32];
  std::snprintf(text, sizeof text, "FPS: %.1f", frames_ / elapsed);
  text_ = text;
  windowStart_ = nowSeconds;
  frames_ = 0;
}

}  // namespace sorvanta::hack
