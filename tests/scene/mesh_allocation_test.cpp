// A mesh that can't be allocated: buildSphere and initScene fail cleanly instead of
// writing through a null pointer. This program replaces the array forms of operator new
// so that a chosen allocation of the nothrow form fails.
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "offscreen_context.h"
#include "scene_app.h"

namespace {
// Which nothrow array allocation from now on fails (1 = the next one); 0 = none.
int nothrowAllocationToFail = 0;
int nothrowAllocationsSeen = 0;

void failNothrowAllocation(int which) {
  nothrowAllocationToFail = which;
  nothrowAllocationsSeen = 0;
}
}  // namespace

void* operator new[](std::size_t size) {
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  return memory;
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (nothrowAllocationToFail != 0 && ++nothrowAllocationsSeen == nothrowAllocationToFail) {
    return nullptr;
  }
  return std::malloc(size == 0 ? 1 : size);
}

void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace sorvanta {
namespace {

TEST(MeshAllocation, EachFailedArrayMakesBuildSphereFailWithNoMesh) {
  for (int which = 1; which <= 3; ++which) {
    SceneApp app;
    failNothrowAllocation(which);
    EXPECT_FALSE(app.buildSphere(kBallRadius, kSphereSegments)) << "array " << which;
    failNothrowAllocation(0);
    EXPECT_EQ(app.vertices, nullptr) << "array " << which;
    EXPECT_EQ(app.normals, nullptr) << "array " << which;
    EXPECT_EQ(app.indices, nullptr) << "array " << which;
    EXPECT_EQ(app.vertexCount, 0) << "array " << which;
    EXPECT_EQ(app.stripCount, 0) << "array " << which;
    EXPECT_EQ(app.stripLength, 0) << "array " << which;
  }
}

TEST(MeshAllocation, CreateBallsReportsTheFailure) {
  SceneApp app;
  failNothrowAllocation(2);
  EXPECT_FALSE(app.createBalls());
  failNothrowAllocation(0);
  EXPECT_TRUE(app.createBalls());
  EXPECT_EQ(app.vertexCount, 266);
}

TEST(MeshAllocation, InitSceneFailsCleanlyAndMakesNoBuffers) {
  OffscreenContext context(64, 64);
  ASSERT_TRUE(context.ready());
  SceneApp app;
  failNothrowAllocation(1);
  EXPECT_FALSE(app.initScene());
  failNothrowAllocation(0);
  EXPECT_EQ(app.vertexBuffer, 0u);
  EXPECT_EQ(app.indexBuffer, 0u);
  EXPECT_EQ(app.vertices, nullptr);
  app.releaseScene();
}

}  // namespace
}  // namespace sorvanta
