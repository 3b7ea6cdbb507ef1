// Frames drawn by the scene into Mesa's off-screen renderer at 1024 x 768, read back
// and checked against where the camera puts the box, the mirror and the balls.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "gl_loader.h"
#include "offscreen_context.h"
#include "scene_app.h"
#include "scene_render_support.h"

namespace sorvanta {
namespace {

using namespace rendertest;

constexpr float h = kBoxHalfSize;

class SceneRender : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(context_.ready()) << "Mesa's off-screen context could not be made";
    ASSERT_TRUE(app_.initScene());
    app_.resize(kWidth, kHeight);
  }

  void TearDown() override { app_.releaseScene(); }

  void beginFrame() { app_.beginFrame(); }

  std::vector<std::uint8_t> drawFrame() {
    app_.drawScene();
    return context_.pixels();
  }

  OffscreenContext context_{kWidth, kHeight};
  SceneApp app_;
};

TEST_F(SceneRender, ContextHasEightStencilBits) {
  EXPECT_EQ(context_.stencilBits(), 8);
}

TEST_F(SceneRender, MirrorSquareLiesWhereTheCameraPutsTheBoxBottom) {
  moveBallsAway(app_);
  const auto pixels = drawFrame();
  const ScreenPoint backLeft = project(-h, -h, -h);
  const ScreenPoint backRight = project(h, -h, -h);
  const ScreenPoint frontLeft = project(-h, -h, h);
  const ScreenPoint frontRight = project(h, -h, h);
  // At angle 0 the bottom's front edge is nearer the camera, so lower on the screen.
  EXPECT_LT(frontLeft.y, backLeft.y);
  EXPECT_LT(frontLeft.x, backLeft.x);

  // Across the front edge: dark mirror (black under the front wall) just behind it,
  // lit floor under the same wall just in front of it.
  for (double t : {0.25, 0.5, 0.75}) {
    const ScreenPoint edge = lerp(frontLeft, frontRight, t);
    const Rgb mirror = pixel(pixels, edge.x, edge.y + 4);
    const Rgb floor = pixel(pixels, edge.x, edge.y - 4);
    EXPECT_GT(floor.sum(), mirror.sum() + 120)
        << "front edge at t " << t << ": floor " << floor.sum() << ", mirror " << mirror.sum();
  }
  // Inside the square the only light is the glass in front of it: the mirror is the
  // darkest part of the picture below the horizon.
  const ScreenPoint centre =
      lerp(lerp(frontLeft, frontRight, 0.5), lerp(backLeft, backRight, 0.5), 0.5);
  const Rgb middle = pixel(pixels, centre.x, centre.y);
  const Rgb besideBox = pixel(pixels, 20, 20);
  EXPECT_LT(middle.sum(), pixel(pixels, frontLeft.x - 30, frontLeft.y).sum());
  EXPECT_LT(middle.r, 110) << "mirror centre";
  EXPECT_GT(besideBox.sum(), middle.sum()) << "floor in the corner of the picture";
}

TEST_F(SceneRender, FrontFaceFacesTheCameraAtAngleZero) {
  moveBallsAway(app_);
  const auto pixels = drawFrame();
  const ScreenPoint bottomLeft = project(-h, -h, h);
  const ScreenPoint topLeft = project(-h, h, h);
  const ScreenPoint bottomRight = project(h, -h, h);
  const ScreenPoint topRight = project(h, h, h);
  // The front face's outline is symmetric about the picture's centre line.
  EXPECT_NEAR(bottomLeft.x + bottomRight.x, kWidth, 1.0);
  EXPECT_NEAR(topLeft.x + topRight.x, kWidth, 1.0);
  // Its glass adds its light to what lies behind: brighter just inside its side edges
  // than just outside them.
  for (double t : {0.4, 0.6, 0.8}) {
    const ScreenPoint left = lerp(bottomLeft, topLeft, t);
    const ScreenPoint right = lerp(bottomRight, topRight, t);
    EXPECT_GT(pixel(pixels, left.x + 4, left.y).sum(), pixel(pixels, left.x - 4, left.y).sum() + 30)
        << "left edge at height " << t;
    EXPECT_GT(pixel(pixels, right.x - 4, right.y).sum(),
              pixel(pixels, right.x + 4, right.y).sum() + 30)
        << "right edge at height " << t;
  }
}

// A positive angle turns the scene counter-clockwise seen from above: a quarter turn
// carries a ball on the right (x = +4) to the back (world z = -4), not to the front.
TEST_F(SceneRender, QuarterTurnCarriesTheRightSideToTheBack) {
  moveBallsAway(app_);
  app_.viewAngle = 90.0f;
  const auto empty = drawFrame();
  app_.balls[0].position.set(4.0f, 0.0f, 0.0f);
  const auto withBall = drawFrame();
  auto change = [&](const ScreenPoint& p) {
    const Rgb a = pixel(empty, p.x, p.y);
    const Rgb b = pixel(withBall, p.x, p.y);
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
  };
  EXPECT_GT(change(project(4.0f, 0.0f, 0.0f, 90.0f)), 60) << "the ball is not at the back";
  EXPECT_LT(change(project(4.0f, 0.0f, 0.0f, -90.0f)), 10) << "the scene turned clockwise";
}

// One ball in the front right corner, just above the bottom: its mirror image, drawn
// without the stencil, would reach past the mirror's front edge.
TEST_F(SceneRender, ReflectedBallIsNeverDrawnOutsideTheMirrorSquare) {
  moveBallsAway(app_);
  app_.balls[0].position.set(4.6f, -4.6f, 4.6f);
  beginFrame();
  const std::vector<ScreenPoint> mirror = {project(-h, -h, h), project(-h, -h, -h),
                                           project(h, -h, -h), project(h, -h, h)};
  // Lowest front point of the mirrored ball (centre y = -10 - (-4.6) = -5.4).
  const ScreenPoint imageEdge = project(4.6f, -5.7f, 4.9f);
  ASSERT_FALSE(insidePolygon(mirror, imageEdge.x, imageEdge.y))
      << "the set-up must put part of the mirror image outside the square";

  app_.drawReflection();
  const auto pixels = context_.pixels();
  int insideLit = 0;
  int outsideLit = 0;
  for (int row = 0; row < kHeight; ++row) {
    for (int column = 0; column < kWidth; ++column) {
      if (pixel(pixels, column, row).sum() == 0) {
        continue;
      }
      // Pixel centres on the square's border may go either way.
      const double x = column + 0.5;
      const double y = row + 0.5;
      const bool inside = insidePolygon(mirror, x, y);
      const bool nearBorder = insidePolygon(mirror, x + 1, y + 1) != inside ||
                              insidePolygon(mirror, x - 1, y - 1) != inside ||
                              insidePolygon(mirror, x + 1, y - 1) != inside ||
                              insidePolygon(mirror, x - 1, y + 1) != inside;
      if (inside) {
        ++insideLit;
      } else if (!nearBorder) {
        ++outsideLit;
      }
    }
  }
  EXPECT_GT(insideLit, 50) << "the mirror image is drawn inside the square";
  EXPECT_EQ(outsideLit, 0) << "pixels of the mirror image outside the square";
}

// A ball high at the back, with nothing but the black background behind it: the ray to
// it passes through the top (outer side) and the back wall (inner side), so it shows
// at 70 % x 70 % of its own colour, and the glass adds its light over it.
TEST_F(SceneRender, GlassWallsLetSeventyPercentThrough) {
  moveBallsAway(app_);
  app_.balls[0].position.set(0.0f, 4.5f, -4.5f);
  beginFrame();
  const ScreenPoint centre = project(0.0f, 4.5f, -4.5f);
  app_.drawBalls(false);
  const Rgb bare = pixel(context_.pixels(), centre.x, centre.y);
  ASSERT_GT(bare.sum(), 150) << "the ball alone is lit";

  const Rgb withBall = pixel(drawFrame(), centre.x, centre.y);
  moveBallsAway(app_);
  const Rgb glassOnly = pixel(drawFrame(), centre.x, centre.y);
  EXPECT_GT(glassOnly.sum(), 30) << "the glass over the black background adds its light";
  const int channels[3][3] = {{bare.r, withBall.r, glassOnly.r},
                              {bare.g, withBall.g, glassOnly.g},
                              {bare.b, withBall.b, glassOnly.b}};
  for (const auto& channel : channels) {
    EXPECT_NEAR(channel[1] - channel[2], 0.49 * channel[0], 4.0)
        << "ball " << channel[0] << ", through the glass " << channel[1] << ", glass only "
        << channel[2];
  }
}

TEST_F(SceneRender, FloorWritesNoDepth) {
  moveBallsAway(app_);
  const auto pixels = drawFrame();
  // The bottom corners of the picture show only floor.
  for (int x : {3, kWidth - 4}) {
    GLfloat depth = 0.0f;
    glReadPixels(x, 3, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f) << "depth under the floor at x " << x;
    EXPECT_GT(pixel(pixels, x, 3).sum(), 60) << "the floor is drawn at x " << x;
  }
}

TEST_F(SceneRender, ResizeSetsTheSpecifiedPerspective) {
  struct Case {
    int width;
    int height;
    int viewportHeight;  // a height of 0 counts as 1
  } cases[] = {{kWidth, kHeight, kHeight}, {640, 0, 1}};
  for (const Case& c : cases) {
    app_.resize(c.width, c.height);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], c.width);
    EXPECT_EQ(viewport[3], c.viewportHeight) << "height " << c.height;
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    GLdouble actual[16];
    glGetDoublev(GL_PROJECTION_MATRIX, actual);
    const Camera expected(0.0f, c.width, c.viewportHeight);
    for (int i = 0; i < 16; ++i) {
      EXPECT_NEAR(actual[i], expected.projection[i],
                  1e-6 * (1.0 + std::abs(expected.projection[i])))
          << "element " << i << ", " << c.width << " x " << c.height;
    }
  }
}

// The balls are lit by the light mirrored in the bottom (below it) inside the mirror,
// and by the light put back (above them) when drawn directly: the lit half of each
// ball's picture shows which.
TEST_F(SceneRender, MirroredBallsAreLitFromBelowAndDirectOnesFromAbove) {
  moveBallsAway(app_);
  app_.balls[0].position.set(0.0f, -4.0f, 0.0f);
  app_.balls[0].colour.set(1.0f, 1.0f, 1.0f);
  beginFrame();
  app_.drawReflection();
  app_.drawBalls(false);
  const auto pixels = context_.pixels();
  // Mean brightness of the upper and lower parts of a ball's picture around its centre.
  auto halves = [&pixels](const ScreenPoint& centre) {
    int upper = 0;
    int lower = 0;
    for (int dy = 3; dy <= 8; ++dy) {
      for (int dx = -4; dx <= 4; ++dx) {
        upper += pixel(pixels, centre.x + dx, centre.y + dy).sum();
        lower += pixel(pixels, centre.x + dx, centre.y - dy).sum();
      }
    }
    return std::pair<int, int>(upper, lower);
  };
  const auto [mirroredUpper, mirroredLower] = halves(project(0.0f, -6.0f, 0.0f));
  const auto [directUpper, directLower] = halves(project(0.0f, -4.0f, 0.0f));
  EXPECT_GT(mirroredLower, mirroredUpper + 2000) << "the mirrored ball is not lit from below";
  EXPECT_GT(directUpper, directLower + 2000) << "the light is not put back after the mirror";
}

// The near walls are blended over the far ones: at a point seen through the top (near)
// and the back wall (far) with black behind, the picture is near + 70 % of far, which a
// clip plane that keeps only one of them lets each be measured alone.
TEST_F(SceneRender, GlassBlendsTheFarWallsFirstThenTheNearOnes) {
  moveBallsAway(app_);
  const Camera camera;
  const ScreenPoint p = camera.project(0.0f, 4.5f, -4.5f);
  auto glassThrough = [&](const GLdouble* keptSide) {
    if (keptSide != nullptr) {
      glMatrixMode(GL_MODELVIEW);
      glLoadMatrixd(camera.modelView);
      glClipPlane(GL_CLIP_PLANE0, keptSide);
      glEnable(GL_CLIP_PLANE0);
    }
    const Rgb seen = pixel(drawFrame(), p.x, p.y);
    glDisable(GL_CLIP_PLANE0);
    return seen;
  };
  // The ray meets the top (y = 5) at z = 2 and the back wall (z = -5) at y = 4.46. Each
  // plane keeps one of the two walls whole, so that the GL shades it as in the frame.
  const GLdouble nearPart[4] = {0.0, 1.0, 0.0, -4.99};  // y >= 4.99
  const GLdouble farPart[4] = {0.0, 0.0, -1.0, -4.99};  // z <= -4.99
  const Rgb nearWall = glassThrough(nearPart);
  const Rgb farWall = glassThrough(farPart);
  const Rgb both = glassThrough(nullptr);
  ASSERT_GT(std::abs(nearWall.sum() - farWall.sum()), 30)
      << "the two walls must differ for their order to show";
  // Far first gives near + 70 % of far, near first far + 70 % of near; the picture
  // (which holds a few levels more light than the two walls alone) must be the nearer
  // to the first.
  const double farFirst = nearWall.sum() + 0.7 * farWall.sum();
  const double nearFirst = farWall.sum() + 0.7 * nearWall.sum();
  EXPECT_LT(std::abs(both.sum() - farFirst), std::abs(both.sum() - nearFirst))
      << "seen " << both.sum() << ", near " << nearWall.sum() << ", far " << farWall.sum();
}

// What a frame leaves in force: the light where it belongs (put back after the
// mirror), the balls' specular material on both faces, two-sided lighting.
TEST_F(SceneRender, FrameLeavesLightAndMaterialAsTheSceneNeedsThem) {
  app_.viewAngle = 33.0f;
  drawFrame();
  const Camera camera(33.0f);
  GLfloat light[4] = {};
  glGetLightfv(GL_LIGHT0, GL_POSITION, light);
  const double scenePosition[4] = {-12.0, 10.0, 10.0, 1.0};
  for (int row = 0; row < 4; ++row) {
    double eye = 0.0;
    for (int column = 0; column < 4; ++column) {
      eye += camera.modelView[column * 4 + row] * scenePosition[column];
    }
    EXPECT_NEAR(light[row], eye, 1e-3) << "light position, eye coordinate " << row;
  }
  GLboolean twoSided = GL_FALSE;
  glGetBooleanv(GL_LIGHT_MODEL_TWO_SIDE, &twoSided);
  EXPECT_TRUE(twoSided);
  // Shininess 128 for the glass (last drawn) and for the balls; the balls' specular
  // colour stays in force after them.
  auto expectMaterial = [](const char* after) {
    for (GLenum face : {GL_FRONT, GL_BACK}) {
      GLfloat specular[4] = {};
      GLfloat shininess = 0.0f;
      glGetMaterialfv(face, GL_SPECULAR, specular);
      glGetMaterialfv(face, GL_SHININESS, &shininess);
      EXPECT_EQ(specular[0], 0.5f) << after;
      EXPECT_EQ(specular[1], 0.5f) << after;
      EXPECT_EQ(specular[2], 0.5f) << after;
      EXPECT_EQ(specular[3], 1.0f) << after;
      EXPECT_EQ(shininess, 128.0f) << after;
    }
  };
  expectMaterial("after a frame");
  beginFrame();
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 1.0f);  // sentinel: the balls must set it
  app_.drawBalls(false);
  expectMaterial("after the balls");
}

TEST_F(SceneRender, EveryStepRestoresTheStateItToggles) {
  ASSERT_TRUE(app_.createBalls());
  drawFrame();
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP));
  GLboolean depthMask = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
  EXPECT_TRUE(depthMask);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
}

struct MeshPath {
  const char* name;
  bool vertexArrays;
  bool bufferObjects;
};

TEST_F(SceneRender, ArrayPathsDrawTheSamePixelsAsVertexByVertex) {
  ASSERT_TRUE(sorvanta::gl::versionAtLeast15());
  ASSERT_NE(app_.vertexBuffer, 0u);
  app_.update(0.7f);  // some balls against the walls, some near the mirror
  app_.viewAngle = 33.0f;
  app_.setMeshPaths(false, false);
  // The balls' specular material stays in force for the next frame's floor: compare
  // frames that follow a first one.
  drawFrame();
  const std::vector<std::uint8_t> reference = drawFrame();
  const MeshPath paths[] = {{"buffer objects", true, true}, {"client arrays", true, false}};
  for (const MeshPath& path : paths) {
    app_.setMeshPaths(path.vertexArrays, path.bufferObjects);
    const std::vector<std::uint8_t>& frame = drawFrame();
    std::size_t differing = 0;
    for (std::size_t i = 0; i < frame.size(); ++i) {
      differing += frame[i] != reference[i] ? 1 : 0;
    }
    EXPECT_EQ(differing, 0u) << path.name << ": bytes differing from vertex-by-vertex";
  }
}

TEST_F(SceneRender, InitSceneDrawsFromBufferObjectsWhenTheGlHasThem) {
  ASSERT_TRUE(sorvanta::gl::versionAtLeast15());
  EXPECT_TRUE(app_.useVertexArrays);
  EXPECT_TRUE(app_.useBufferObjects);
  EXPECT_NE(app_.vertexBuffer, 0u);
  EXPECT_NE(app_.indexBuffer, 0u);
}

TEST_F(SceneRender, ReleaseSceneDeletesTheBufferObjects) {
  ASSERT_NE(app_.vertexBuffer, 0u);
  ASSERT_NE(app_.indexBuffer, 0u);
  app_.releaseScene();
  EXPECT_EQ(app_.vertexBuffer, 0u);
  EXPECT_EQ(app_.indexBuffer, 0u);
  GLuint fresh = 0;
  glGenBuffers(1, &fresh);
  EXPECT_NE(fresh, 0u);
  glDeleteBuffers(1, &fresh);
}

TEST(SceneInit, FailsWithoutAContextAndBuildsNothing) {
  OffscreenContext::releaseCurrent();
  SceneApp app;
  EXPECT_FALSE(app.initScene());
  EXPECT_EQ(app.vertices, nullptr);
  EXPECT_EQ(app.balls[0].velocity.length(), 0.0f);
}

}  // namespace
}  // namespace sorvanta
