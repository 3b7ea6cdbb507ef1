// The automatic swing of the view, counted in frames: the angle rises one degree a
// frame for 399 frames, falls one degree a frame for 400, rests one frame, and the
// cycle starts again.
#pragma once

#include "scene_app.h"

namespace sorvanta {

inline constexpr int kSwingRiseFrames = 400;
inline constexpr int kSwingCycleFrames = 800;

// Called once after every frame with the loop's frame counter.
inline void advanceViewSwing(int& frameCounter, SceneApp& app) {
  ++frameCounter;
  if (frameCounter < kSwingRiseFrames) {
    app.incrementViewAngle();
  } else if (frameCounter < kSwingCycleFrames) {
    app.decrementViewAngle();
  } else {
    frameCounter = 0;
  }
}

}  // namespace sorvanta
