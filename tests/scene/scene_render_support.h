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

// The camera as the scene is meant to be seen, built here independently of the code
// under test: eye (0, 6, 15) looking at the origin with (0, 1, 0) up, the scene turned
// by the view angle about the vertical axis, a 55 degree vertical field of view, near
// plane 1, far plane 1000, and the whole picture as the viewport.
struct Camera {
  explicit Camera(float viewAngle = 0.0f, int width = kWidth, int height = kHeight) {
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(0.0, 6.0, 15.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glRotated(viewAngle, 0.0, 1.0, 0.0);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(55.0, static_cast<double>(width) / height, 1.0, 1000.0);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glPopMatrix();
    glMatrixMode(static_cast<GLenum>(mode));
    viewport[2] = width;
    viewport[3] = height;
  }

  // Window coordinates (x, y) of a scene point, and its depth-buffer value (0 to 1).
  ScreenPoint project(float x, float y, float z, double* depth = nullptr) const {
    ScreenPoint point{};
    GLdouble windowDepth = 0.0;
    gluProject(x, y, z, modelView, projection, viewport, &point.x, &point.y, &windowDepth);
    if (depth != nullptr) {
      *depth = windowDepth;
    }
    return point;
  }

  GLdouble modelView[16] = {};
  GLdouble projection[16] = {};
  GLint viewport[4] = {0, 0, 0, 0};
};

// Window coordinates of a scene point as the camera should show it.
inline ScreenPoint project(float x, float y, float z, float viewAngle = 0.0f) {
  return Camera(viewAngle).project(x, y, z);
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
