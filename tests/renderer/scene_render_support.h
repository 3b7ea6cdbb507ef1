// Helpers of the render tests: frames of the scene drawn into Mesa's off-screen
// renderer at 1024 x 768, scene points projected to the picture, pixels read back.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gl_loader.h"
#include "scene_app.h"

namespace sorvanta::rendertest {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct ScreenPoint {
  double x;
  double y;
};

struct Rgb {
  int r;
  int g;
  int b;
  int sum() const { return r + g + b; }
};

// Every ball out of sight (far beyond the far plane), for frames of the box alone.
inline void moveBallsAway(SceneApp& app) {
  for (Ball& ball : app.balls) {
    ball.position.set(5000.0f, 0.0f, 0.0f);
  }
}

// Steps 1 to 5 of drawScene: cleared buffers, camera, turn, light.
inline void beginFrame(const SceneApp& app) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0.0, 6.0, 15.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
  glRotatef(app.viewAngle, 0.0f, 1.0f, 0.0f);
  const GLfloat light[4] = {-12.0f, 10.0f, 10.0f, 1.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, light);
}

// Window coordinates of a scene point under the current scene transform.
inline ScreenPoint project(float x, float y, float z) {
  GLdouble modelView[16];
  GLdouble projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  ScreenPoint point{};
  GLdouble depth = 0.0;
  gluProject(x, y, z, modelView, projection, viewport, &point.x, &point.y, &depth);
  return point;
}

// The pixel at window coordinates (bottom row 0) of an RGBA frame, clamped to the frame.
inline Rgb pixel(const std::vector<std::uint8_t>& pixels, double x, double y) {
  const int column = std::clamp(static_cast<int>(x), 0, kWidth - 1);
  const int row = std::clamp(static_cast<int>(y), 0, kHeight - 1);
  const std::uint8_t* p = &pixels[(static_cast<std::size_t>(row) * kWidth + column) * 4];
  return Rgb{p[0], p[1], p[2]};
}

// Inside the convex polygon (corners in either winding)?
inline bool insidePolygon(const std::vector<ScreenPoint>& corners, double x, double y) {
  int positive = 0;
  int negative = 0;
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const ScreenPoint& a = corners[i];
    const ScreenPoint& b = corners[(i + 1) % corners.size()];
    const double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
    (cross > 0 ? positive : negative) += 1;
  }
  return positive == 0 || negative == 0;
}

inline ScreenPoint lerp(const ScreenPoint& a, const ScreenPoint& b, double t) {
  return ScreenPoint{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

}  // namespace sorvanta::rendertest
