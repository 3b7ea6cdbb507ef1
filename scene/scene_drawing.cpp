// The scene's GL state, one frame of drawing and the release of the GL objects.
// Every step restores the toggles it changes before it returns (depth mask on,
// stencil test off, blending off, culling off, texture targets off, depth test on).
#include "gl_loader.h"
#include "scene_app.h"
#include "scene_textures.h"

namespace sorvanta {
namespace {

// Drawing the balls from buffer objects, strip by strip, gives the same pixels as
// drawing them vertex by vertex (the render tests compare the two) and is faster
// (bench/frame: about 1.2 to 1.4 times the frame rate under Wine, where every GL call
// crosses Wine's thunk, and a little faster natively on Mesa), so it is used whenever
// the GL has buffer objects (1.5 or later).
constexpr bool kDrawBallsFromBufferObjects = true;

constexpr float kMirrorPlaneY = -kBoxHalfSize;
constexpr float kFloorHalfWidth = kBoxHalfSize * 20.0f;  // x from -100 to +100
constexpr float kFloorHalfDepth = kBoxHalfSize * 15.0f;  // z from -75 to +75
constexpr float kFloorTiles = 5.0f;                      // the picture repeats 5 x 5 times
constexpr float kGlassAlpha = 0.3f;
constexpr float kShininess = 128.0f;

constexpr GLfloat kLightPosition[4] = {-12.0f, 10.0f, 10.0f, 1.0f};
// The light mirrored in the plane y = -5, for the reflected balls.
constexpr GLfloat kMirroredLightPosition[4] = {-12.0f, -20.0f, 10.0f, 1.0f};
constexpr GLfloat kBallSpecular[4] = {0.5f, 0.5f, 0.5f, 1.0f};

// The floor: a quad far wider than the box, tiled with the floor texture, writing no
// depth so that everything drawn after it lies over it.
void drawFloor() {
  glNormal3f(0.0f, 1.0f, 0.0f);
  glDepthMask(GL_FALSE);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(-kFloorHalfWidth, kMirrorPlaneY, kFloorHalfDepth);
  glTexCoord2f(kFloorTiles, 0.0f);
  glVertex3f(kFloorHalfWidth, kMirrorPlaneY, kFloorHalfDepth);
  glTexCoord2f(kFloorTiles, kFloorTiles);
  glVertex3f(kFloorHalfWidth, kMirrorPlaneY, -kFloorHalfDepth);
  glTexCoord2f(0.0f, kFloorTiles);
  glVertex3f(-kFloorHalfWidth, kMirrorPlaneY, -kFloorHalfDepth);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glDepthMask(GL_TRUE);
}

// The box's bottom face in black; the caller has the stencil set to mark it.
void drawMirrorQuad() {
  const float h = kBoxHalfSize;
  glColor3f(0.0f, 0.0f, 0.0f);
  glBegin(GL_QUADS);
  glVertex3f(-h, kMirrorPlaneY, h);
  glVertex3f(-h, kMirrorPlaneY, -h);
  glVertex3f(h, kMirrorPlaneY, -h);
  glVertex3f(h, kMirrorPlaneY, h);
  glEnd();
}

// A wall of the box: its outward normal and its corners, counter-clockwise from outside.
struct GlassFace {
  GLfloat normal[3];
  GLfloat corners[4][3];
};

constexpr float h = kBoxHalfSize;
constexpr GlassFace kGlassFaces[] = {
    {{0, 0, -1}, {{h, -h, -h}, {-h, -h, -h}, {-h, h, -h}, {h, h, -h}}},  // back
    {{1, 0, 0}, {{h, -h, h}, {h, -h, -h}, {h, h, -h}, {h, h, h}}},       // right
    {{-1, 0, 0}, {{-h, -h, -h}, {-h, -h, h}, {-h, h, h}, {-h, h, -h}}},  // left
    {{0, 0, 1}, {{-h, -h, h}, {h, -h, h}, {h, h, h}, {-h, h, h}}},       // front
    {{0, 1, 0}, {{-h, h, h}, {h, h, h}, {h, h, -h}, {-h, h, -h}}},       // top
};

// The five translucent walls (the bottom is the mirror), blended over everything with
// the depth test off.
void drawGlassBox() {
  glColor4f(1.0f, 1.0f, 1.0f, kGlassAlpha);
  glDisable(GL_DEPTH_TEST);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, kShininess);
  glEnable(GL_BLEND);
  glBegin(GL_QUADS);
  for (const GlassFace& face : kGlassFaces) {
    glNormal3fv(face.normal);
    for (const GLfloat* corner : face.corners) {
      glVertex3fv(corner);
    }
  }
  glEnd();
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
}

}  // namespace

bool SceneApp::initScene() {
  if (!sorvanta::gl::initialise()) {
    return false;
  }
  if (!createBalls()) {
    return false;
  }
  if (sorvanta::gl::versionAtLeast15()) {
    createBufferObjects();
    // Stand-in entry points name no buffer: then the balls stay vertex by vertex.
    const bool haveBuffers = vertexBuffer != 0 && indexBuffer != 0;
    const bool drawFromBuffers = kDrawBallsFromBufferObjects && haveBuffers;
    setMeshPaths(drawFromBuffers, drawFromBuffers);
  }
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 1.0f);
  createTextures();
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_DEPTH_TEST);
  return true;
}

// The cube map from the stone picture, the mipmapped floor from the desktop; a file
// that can't be read leaves its surface untextured.
void SceneApp::createTextures() {
  textures::createSceneTextures(imagePaths().stone.c_str(), imagePaths().desktop.c_str(),
                                envTexture, floorTexture);
}

void SceneApp::resize(int width, int height) {
  if (height == 0) {
    height = 1;
  }
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(55.0, static_cast<double>(width) / static_cast<double>(height), 1.0, 1000.0);
}

void SceneApp::beginFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0.0, kBoxHalfSize + 1.0, kBoxHalfSize * 3.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
  glRotatef(viewAngle, 0.0f, 1.0f, 0.0f);
  glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
}

void SceneApp::drawScene() {
  beginFrame();
  drawFloor();
  drawReflection();
  drawBalls(false);
  // Inner sides first (the far walls), then outer sides (the near walls): the
  // translucent walls blend far to near.
  glEnable(GL_CULL_FACE);
  glCullFace(GL_FRONT);
  drawGlassBox();
  glCullFace(GL_BACK);
  drawGlassBox();
  glDisable(GL_CULL_FACE);
}

// The balls mirrored in the box's bottom, drawn only inside the black mirror square.
void SceneApp::drawReflection() {
  glLightfv(GL_LIGHT0, GL_POSITION, kMirroredLightPosition);
  glDepthMask(GL_FALSE);
  glEnable(GL_STENCIL_TEST);
  glStencilFunc(GL_ALWAYS, 1, 0xFFFFFFFFu);
  glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
  drawMirrorQuad();
  glDepthMask(GL_TRUE);
  glStencilFunc(GL_EQUAL, 1, 0xFFFFFFFFu);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  drawBalls(true);
  glDisable(GL_STENCIL_TEST);
  glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
}

void SceneApp::drawBalls(bool mirrored) {
  if (!showBalls) {
    return;
  }
  glEnable(GL_CULL_FACE);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, kShininess);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kBallSpecular);
  glEnable(GL_TEXTURE_CUBE_MAP);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  if (useVertexArrays) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    setMeshArrayPointers();
  }
  for (const Ball& ball : balls) {
    const Vector3f& p = ball.position;
    // A ball is symmetric: only its centre is mirrored, y' = -2h - y.
    const float y = mirrored ? -2.0f * kBoxHalfSize - p.y : p.y;
    glColor3fv(&ball.colour.x);
    glPushMatrix();
    glTranslatef(p.x, y, p.z);
    drawSphere();
    glPopMatrix();
  }
  if (useVertexArrays) {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
  }
  glDisable(GL_TEXTURE_CUBE_MAP);
  glDisable(GL_CULL_FACE);
}

void SceneApp::releaseScene() {
  glDeleteTextures(1, &envTexture);
  glDeleteTextures(1, &floorTexture);
  envTexture = 0;
  floorTexture = 0;
  if (vertexBuffer != 0) {
    glDeleteBuffers(1, &vertexBuffer);
    vertexBuffer = 0;
  }
  if (indexBuffer != 0) {
    glDeleteBuffers(1, &indexBuffer);
    indexBuffer = 0;
  }
}

}  // namespace sorvanta
