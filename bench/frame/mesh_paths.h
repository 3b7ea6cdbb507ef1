// The ways of drawing the ball mesh that the frame benchmark compares, and its floor:
// the same scene with no balls drawn (the floor, the mirror and the glass only).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "bench_lines.h"

namespace sorvanta::bench {

struct MeshPathChoice {
  const char* name;
  bool vertexArrays;
  bool bufferObjects;
  bool balls;
};

inline constexpr MeshPathChoice kMeshPaths[] = {
    {"vertex_by_vertex", false, false, true},
    {"buffer_objects", true, true, true},
    {"client_arrays", true, false, true},
    {"no_balls", true, true, false},
};
inline constexpr int kPeerPath = 0;   // the peer: vertex by vertex
inline constexpr int kFloorPath = 3;  // the floor: no balls

// A frame's motion step: the same fixed sequence of frames for every path.
inline constexpr float kFrameStepSeconds = 1.0f / 60.0f;

inline constexpr std::size_t kPathCount = sizeof(kMeshPaths) / sizeof(kMeshPaths[0]);

// The ratio lines for one run: seconds per frame of each path, in kMeshPaths order.
// The peer ratio is how many times faster than vertex by vertex a path draws a frame;
// the floor ratio how many times longer than the frame without balls it takes.
inline void printFrameLines(const std::string& benchmark, const double (&seconds)[kPathCount]) {
  for (std::size_t p = 0; p < kPathCount; ++p) {
    if (seconds[p] <= 0.0) {
      continue;  // not run (filtered out)
    }
    const std::string key = benchmark + "/" + kMeshPaths[p].name;
    char fps[32];
    std::snprintf(fps, sizeof fps, "%.1f frames/s", seconds[p] > 0.0 ? 1.0 / seconds[p] : 0.0);
    sorvanta::bench::printFigure(key, fps);
    if (p != static_cast<std::size_t>(kPeerPath) && p != static_cast<std::size_t>(kFloorPath)) {
      sorvanta::bench::printPeerRatio(key, seconds[kPeerPath], seconds[p]);
    }
  }
  for (std::size_t p = 0; p < kPathCount; ++p) {
    if (p != static_cast<std::size_t>(kFloorPath)) {
      sorvanta::bench::printFloorRatio(benchmark + "/" + kMeshPaths[p].name, seconds[p],
                                       seconds[kFloorPath]);
    }
  }
}

}  // namespace sorvanta::bench
