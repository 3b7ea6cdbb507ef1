// The ways of drawing the ball mesh that the frame benchmark compares.
#pragma once

namespace sorvanta::bench {

struct MeshPathChoice {
  const char* name;
  bool vertexArrays;
  bool bufferObjects;
};

inline constexpr MeshPathChoice kMeshPaths[] = {
    {"vertex_by_vertex", false, false},
    {"buffer_objects", true, true},
    {"client_arrays", true, false},
};

// A frame's motion step: the same fixed sequence of frames for every path.
inline constexpr float kFrameStepSeconds = 1.0f / 60.0f;

}  // namespace sorvanta::bench
