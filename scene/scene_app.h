// SceneApp: the one object that owns the renderer's whole scene: the balls and their
// motion, the shared ball mesh, the GL objects made from it, and the drawing of a
// frame. Portable OpenGL 1.x and GLU; the window, context and loop live elsewhere.
#pragma once

#include <cstdint>
#include <string>

#include "ball.h"
#include "vector3f.h"

namespace sorvanta {

inline constexpr float kBoxHalfSize = 5.0f;  // the glass box spans -5 to +5 on every axis
inline constexpr float kBallRadius = 0.3f;
inline constexpr int kBallCount = 120;
inline constexpr float kBallSpeed = 4.0f;  // units per second
inline constexpr int kSphereSegments = 12;

// The scene's fixed random sequence: a linear congruential generator that starts at 1,
// so every run builds the same balls. Draws are 0 ... kMax.
class SceneRandom {
 public:
  static constexpr int kMax = 32767;
  int next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t state_ = 1;
};

class SceneApp {
 public:
  // The two pictures the textures are made from; the defaults are the exchange files
  // the front end writes.
  struct ImagePaths {
    std::string stone;    // the balls' picture (their cube map)
    std::string desktop;  // the floor's picture
  };
  static ImagePaths exchangeImagePaths();

  SceneApp();
  explicit SceneApp(ImagePaths paths);
  SceneApp(const SceneApp&) = delete;
  SceneApp& operator=(const SceneApp&) = delete;
  virtual ~SceneApp();

  // Motion (scene_motion.cpp).
  // Places, colours and launches every ball from the fixed random sequence, then builds
  // the ball mesh. False when the mesh could not be allocated.
  bool createBalls();
  // One motion step of every ball by the given seconds, bouncing off the box walls.
  void update(float seconds);
  void incrementViewAngle() { viewAngle += 1.0f; }
  void decrementViewAngle() { viewAngle -= 1.0f; }

  // Ball mesh (sphere_mesh.cpp).
  // Builds the latitude-longitude sphere of radius r with n segments (at least 2).
  // False, with no mesh, when the arrays can't be allocated or the counts don't fit.
  bool buildSphere(float r, int n);
  // Copies the mesh into vertexBuffer and indexBuffer (GL 1.5 buffer objects).
  void createBufferObjects();
  // Draws the mesh once at the current model-view transform with the current colour.
  void drawSphere() const;

  // Drawing (scene_drawing.cpp). initScene and releaseScene need a current context.
  bool initScene();
  void drawScene();
  // The start of every frame: buffers cleared, camera placed, scene turned, light set.
  void beginFrame();
  void releaseScene();
  // Sets the projection for a drawable of the given size.
  void resize(int width, int height);
  void drawBalls(bool mirrored);
  void drawReflection();

  const ImagePaths& imagePaths() const { return imagePaths_; }

  // The mesh paths: switched on by initScene when the implementation has buffer
  // objects (OpenGL 1.5) and drawing from them is known to give the same picture
  // faster; both false means vertex by vertex.
  void setMeshPaths(bool vertexArrays, bool bufferObjects) {
    useVertexArrays = vertexArrays;
    useBufferObjects = bufferObjects;
  }

  int stripCount = 0;
  int stripLength = 0;
  unsigned vertexBuffer = 0;
  unsigned indexBuffer = 0;
  int vertexCount = 0;
  bool useVertexArrays = false;
  bool useBufferObjects = false;
  // False leaves the balls out of the frame (the frame benchmark's floor).
  bool showBalls = true;
  unsigned envTexture = 0;
  unsigned floorTexture = 0;
  float viewAngle = 0.0f;
  std::uint32_t* indices = nullptr;
  Vector3f* vertices = nullptr;
  Vector3f* normals = nullptr;
  Ball balls[kBallCount];

 private:
  void freeMesh();
  // Step 5 of initScene: the cube map and the floor texture from the two images.
  void createTextures();
  void setMeshArrayPointers() const;
  void drawSphereVertexByVertex() const;
  void drawSphereFromArrays() const;

  ImagePaths imagePaths_;
};

}  // namespace sorvanta
