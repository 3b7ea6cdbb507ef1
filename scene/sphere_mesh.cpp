// The ball mesh: one latitude-longitude sphere shared by every ball, stored as
// vertices, unit normals (which double as cube-map texture coordinates) and a list of
// triangle strips of indices into them.
#include <climits>
#include <cmath>
#include <cstdint>
#include <new>

#include "gl_loader.h"
#include "scene_app.h"

namespace sorvanta {
namespace {

constexpr float kPi = 3.1415927f;
constexpr float kHalfPi = 1.5707964f;

// Sizes of the mesh of n segments, in 64 bits so that no count can overflow on the way.
struct MeshCounts {
  std::int64_t strips;
  std::int64_t stripLength;
  std::int64_t vertices;
  std::int64_t indices() const { return strips * stripLength; }
  bool fitFields() const {
    return stripLength <= INT_MAX && vertices <= INT_MAX &&
           static_cast<std::uint64_t>(indices()) <= SIZE_MAX / sizeof(std::uint32_t);
  }
};

MeshCounts countsFor(int n) {
  const std::int64_t segments = n;
  return MeshCounts{segments, 4 * segments + 2, 2 * segments * segments - 2 * segments + 2};
}

// Appends indices at a cursor that walks through the index array.
class IndexWriter {
 public:
  explicit IndexWriter(std::uint32_t* indices) : cursor_(indices) {}
  void pair(std::int64_t first, std::int64_t second) {
    *cursor_++ = static_cast<std::uint32_t>(first);
    *cursor_++ = static_cast<std::uint32_t>(second);
  }

 private:
  std::uint32_t* cursor_;
};

// A byte offset into the bound buffer object, in the pointer form the GL takes.
const void* bufferOffset(std::size_t bytes) {
  return reinterpret_cast<const void*>(bytes);
}

}  // namespace

void SceneApp::freeMesh() {
  delete[] indices;
  delete[] vertices;
  delete[] normals;
  indices = nullptr;
  vertices = nullptr;
  normals = nullptr;
  stripCount = 0;
  stripLength = 0;
  vertexCount = 0;
}

bool SceneApp::buildSphere(float r, int n) {
  freeMesh();
  if (n < 2) {
    n = 2;
  }
  const MeshCounts counts = countsFor(n);
  if (!counts.fitFields()) {
    return false;
  }
  const auto vertexTotal = static_cast<std::size_t>(counts.vertices);
  vertices = new (std::nothrow) Vector3f[vertexTotal];
  normals = new (std::nothrow) Vector3f[vertexTotal];
  indices = new (std::nothrow) std::uint32_t[static_cast<std::size_t>(counts.indices())];
  if (vertices == nullptr || normals == nullptr || indices == nullptr) {
    freeMesh();
    return false;
  }
  stripCount = n;
  stripLength = static_cast<int>(counts.stripLength);
  vertexCount = static_cast<int>(counts.vertices);

  const std::int64_t ringSize = 2 * static_cast<std::int64_t>(n);
  const std::int64_t southPole = counts.vertices - 1;
  IndexWriter writer(indices);

  vertices[0].set(0.0f, r, 0.0f);
  normals[0].set(0.0f, 1.0f, 0.0f);
  for (std::int64_t s = 0; s < ringSize; ++s) {
    writer.pair(s + 1, 0);
  }
  writer.pair(1, 0);

  const float step = kPi / static_cast<float>(n);
  float latitude = kHalfPi - step;
  std::int64_t v = 1;
  for (int ring = 0; ring <= n - 2; ++ring) {
    const bool lastRing = ring == n - 2;
    float longitude = 0.0f;
    for (std::int64_t s = 0; s < ringSize; ++s) {
      const float ringRadius = r * std::cos(latitude);
      vertices[v].set(std::cos(longitude) * ringRadius, r * std::sin(latitude),
                      std::sin(longitude) * ringRadius);
      normals[v] = vertices[v];
      normals[v].normalise();
      writer.pair(lastRing ? southPole : v + ringSize, v);
      ++v;
      longitude += kPi / static_cast<float>(n);
    }
    writer.pair(v, v - ringSize);
    latitude -= step;
  }
  vertices[v].set(0.0f, -r, 0.0f);
  normals[v].set(0.0f, -1.0f, 0.0f);
  return true;
}

void SceneApp::createBufferObjects() {
  const auto arrayBytes = static_cast<sorvanta::gl::GLsizeiptrValue>(vertexCount) * 12;
  glGenBuffers(1, &vertexBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
  glBufferData(GL_ARRAY_BUFFER, 2 * arrayBytes, nullptr, GL_STATIC_DRAW);
  glBufferSubData(GL_ARRAY_BUFFER, 0, arrayBytes, vertices);
  glBufferSubData(GL_ARRAY_BUFFER, arrayBytes, arrayBytes, normals);

  const auto indexBytes = static_cast<sorvanta::gl::GLsizeiptrValue>(stripLength) * stripCount * 4;
  glGenBuffers(1, &indexBuffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexBytes, indices, GL_STATIC_DRAW);
}

void SceneApp::drawSphere() const {
  if (useVertexArrays) {
    drawSphereFromArrays();
  } else {
    drawSphereVertexByVertex();
  }
}

void SceneApp::drawSphereVertexByVertex() const {
  const std::uint32_t* index = indices;
  for (int strip = 0; strip < stripCount; ++strip) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int j = 0; j < stripLength; ++j, ++index) {
      const Vector3f& normal = normals[*index];
      glNormal3fv(&normal.x);
      glTexCoord3fv(&normal.x);
      glVertex3fv(&vertices[*index].x);
    }
    glEnd();
  }
}

// Each strip is drawn as its own strip, exactly the triangles of the vertex-by-vertex
// path (joining them into one strip would add triangles between them).
void SceneApp::drawSphereFromArrays() const {
  const auto length = static_cast<std::size_t>(stripLength);
  for (int strip = 0; strip < stripCount; ++strip) {
    const std::size_t firstIndex = static_cast<std::size_t>(strip) * length;
    // In a bound element buffer the indices are found by byte offset.
    const void* first = useBufferObjects ? bufferOffset(firstIndex * sizeof(std::uint32_t))
                                         : static_cast<const void*>(indices + firstIndex);
    glDrawElements(GL_TRIANGLE_STRIP, stripLength, GL_UNSIGNED_INT, first);
  }
}

// Points the vertex, normal and texture-coordinate arrays at the mesh: in the buffer
// objects (positions, then normals) or in the object's own arrays.
void SceneApp::setMeshArrayPointers() const {
  if (useBufferObjects) {
    const std::size_t normalsOffset = static_cast<std::size_t>(vertexCount) * 12;
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glVertexPointer(3, GL_FLOAT, 0, bufferOffset(0));
    glNormalPointer(GL_FLOAT, 0, bufferOffset(normalsOffset));
    glTexCoordPointer(3, GL_FLOAT, 0, bufferOffset(normalsOffset));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
  } else {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glVertexPointer(3, GL_FLOAT, 0, vertices);
    glNormalPointer(GL_FLOAT, 0, normals);
    glTexCoordPointer(3, GL_FLOAT, 0, normals);
  }
}

}  // namespace sorvanta
