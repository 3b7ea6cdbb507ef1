// The ball mesh: counts, vertex numbering, strip index sequences, geometry.
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "scene_app.h"

namespace sorvanta {
namespace {

std::vector<std::uint32_t> stripIndices(const SceneApp& app, int strip) {
  const std::uint32_t* first = app.indices + strip * app.stripLength;
  return std::vector<std::uint32_t>(first, first + app.stripLength);
}

std::vector<std::uint32_t> head(const std::vector<std::uint32_t>& strip, std::size_t count) {
  return std::vector<std::uint32_t>(strip.begin(), strip.begin() + count);
}

std::vector<std::uint32_t> tail(const std::vector<std::uint32_t>& strip, std::size_t count) {
  return std::vector<std::uint32_t>(strip.end() - count, strip.end());
}

struct CountCase {
  int requestedSegments;
  int strips;
  int stripLength;
  int vertices;
};

TEST(BuildSphere, CountsFollowTheSegmentCount) {
  const CountCase cases[] = {
      {12, 12, 50, 266}, {3, 3, 14, 14}, {2, 2, 10, 6},
      {1, 2, 10, 6},     {0, 2, 10, 6},  {-5, 2, 10, 6},
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "n = " << c.requestedSegments);
    SceneApp app;
    ASSERT_TRUE(app.buildSphere(0.3f, c.requestedSegments));
    EXPECT_EQ(app.stripCount, c.strips);
    EXPECT_EQ(app.stripLength, c.stripLength);
    EXPECT_EQ(app.vertexCount, c.vertices);
    for (int i = 0; i < app.stripCount * app.stripLength; ++i) {
      ASSERT_LT(app.indices[i], static_cast<std::uint32_t>(app.vertexCount)) << "index " << i;
    }
  }
}

TEST(BuildSphere, TwelveSegmentStripsBeginAndEndAsLaidOut) {
  SceneApp app;
  ASSERT_TRUE(app.buildSphere(0.3f, 12));
  using Indices = std::vector<std::uint32_t>;
  const auto strip0 = stripIndices(app, 0);
  EXPECT_EQ(head(strip0, 6), (Indices{1, 0, 2, 0, 3, 0}));
  EXPECT_EQ(tail(strip0, 4), (Indices{24, 0, 1, 0}));
  const auto strip1 = stripIndices(app, 1);
  EXPECT_EQ(head(strip1, 4), (Indices{25, 1, 26, 2}));
  EXPECT_EQ(tail(strip1, 4), (Indices{48, 24, 25, 1}));
  const auto strip11 = stripIndices(app, 11);
  EXPECT_EQ(head(strip11, 4), (Indices{265, 241, 265, 242}));
  EXPECT_EQ(tail(strip11, 4), (Indices{265, 264, 265, 241}));
}

TEST(BuildSphere, TwoSegmentMeshIsTheFullSequence) {
  SceneApp app;
  ASSERT_TRUE(app.buildSphere(1.0f, 1));
  const std::vector<std::uint32_t> expected = {1, 0, 2, 0, 3, 0, 4, 0, 1, 0,
                                               5, 1, 5, 2, 5, 3, 5, 4, 5, 1};
  EXPECT_EQ(std::vector<std::uint32_t>(app.indices, app.indices + 20), expected);
}

TEST(BuildSphere, PolesAndFirstRingVertex) {
  SceneApp app;
  ASSERT_TRUE(app.buildSphere(0.3f, 12));
  const float degrees75 = 75.0f * 3.14159265f / 180.0f;
  EXPECT_NEAR(app.vertices[1].x, 0.3f * std::cos(degrees75), 1e-5f);
  EXPECT_NEAR(app.vertices[1].y, 0.3f * std::sin(degrees75), 1e-5f);
  EXPECT_NEAR(app.vertices[1].z, 0.0f, 1e-6f);
  EXPECT_EQ(app.vertices[0].y, 0.3f);
  EXPECT_EQ(app.normals[0].y, 1.0f);
  const int south = app.vertexCount - 1;
  EXPECT_EQ(app.vertices[south].x, 0.0f);
  EXPECT_EQ(app.vertices[south].y, -0.3f);
  EXPECT_EQ(app.vertices[south].z, 0.0f);
  EXPECT_EQ(app.normals[south].y, -1.0f);
  // Longitude runs from +x towards +z: the second vertex of the ring has z > 0.
  EXPECT_GT(app.vertices[2].z, 0.0f);
}

TEST(BuildSphere, EveryVertexOnTheSphereWithItsUnitNormal) {
  for (int n : {2, 5, 12, 40}) {
    for (float r : {0.3f, 1.0f, 7.5f}) {
      SceneApp app;
      ASSERT_TRUE(app.buildSphere(r, n));
      for (int v = 0; v < app.vertexCount; ++v) {
        const Vector3f& position = app.vertices[v];
        const Vector3f& normal = app.normals[v];
        ASSERT_NEAR(normal.length(), 1.0f, 1e-6f) << "n " << n << " r " << r << " vertex " << v;
        ASSERT_NEAR(position.length(), r, 2e-6f * r) << "n " << n << " r " << r << " vertex " << v;
        ASSERT_NEAR(normal.x * r, position.x, 2e-6f * r) << "n " << n << " vertex " << v;
        ASSERT_NEAR(normal.y * r, position.y, 2e-6f * r) << "n " << n << " vertex " << v;
      }
    }
  }
}

// Outside faces wind counter-clockwise: each non-degenerate triangle's normal (from its
// winding, with the strip's alternating order) points away from the centre.
TEST(BuildSphere, TrianglesFaceOutwards) {
  SceneApp app;
  ASSERT_TRUE(app.buildSphere(1.0f, 12));
  int nonDegenerate = 0;
  for (int strip = 0; strip < app.stripCount; ++strip) {
    const auto indices = stripIndices(app, strip);
    for (std::size_t j = 2; j < indices.size(); ++j) {
      std::uint32_t a = indices[j - 2], b = indices[j - 1], c = indices[j];
      if (a == b || b == c || a == c) {
        continue;
      }
      if (j % 2 == 1) {
        std::swap(a, b);  // odd triangles of a strip are wound the other way
      }
      const Vector3f& p = app.vertices[a];
      const Vector3f& q = app.vertices[b];
      const Vector3f& s = app.vertices[c];
      const Vector3f u(q.x - p.x, q.y - p.y, q.z - p.z);
      const Vector3f w(s.x - p.x, s.y - p.y, s.z - p.z);
      const Vector3f cross(u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x);
      const float outward =
          cross.x * (p.x + q.x + s.x) + cross.y * (p.y + q.y + s.y) + cross.z * (p.z + q.z + s.z);
      EXPECT_GT(outward, 0.0f) << "strip " << strip << " triangle ending at " << j;
      ++nonDegenerate;
    }
  }
  // 2n triangles in each cap, 4n in each of the n - 2 bands.
  EXPECT_EQ(nonDegenerate, 2 * 24 + 4 * 12 * 10);
}

TEST(BuildSphere, CountsThatOverflowTheFieldsFailWithoutAMesh) {
  SceneApp app;
  ASSERT_TRUE(app.buildSphere(0.3f, 12));
  EXPECT_FALSE(app.buildSphere(0.3f, 40000));  // 2n^2 vertices exceed 32 bits
  EXPECT_EQ(app.vertices, nullptr);
  EXPECT_EQ(app.normals, nullptr);
  EXPECT_EQ(app.indices, nullptr);
  EXPECT_EQ(app.vertexCount, 0);
  EXPECT_EQ(app.stripCount, 0);
}

TEST(BuildSphere, RebuildingReplacesTheMesh) {
  SceneApp app;
  ASSERT_TRUE(app.buildSphere(0.3f, 12));
  ASSERT_TRUE(app.buildSphere(2.0f, 3));
  EXPECT_EQ(app.vertexCount, 14);
  EXPECT_EQ(app.vertices[0].y, 2.0f);
}

}  // namespace
}  // namespace sorvanta
