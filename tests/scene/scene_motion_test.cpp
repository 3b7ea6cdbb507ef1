// The balls of the fixed random sequence, the motion step with its bounce rule, the
// vector arithmetic and the view angle.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "scene_app.h"

namespace sorvanta {
namespace {

constexpr float kFourDecimals = 0.00005f;

void expectVector(const Vector3f& actual, const Vector3f& expected, const char* what) {
  EXPECT_NEAR(actual.x, expected.x, kFourDecimals) << what << ".x";
  EXPECT_NEAR(actual.y, expected.y, kFourDecimals) << what << ".y";
  EXPECT_NEAR(actual.z, expected.z, kFourDecimals) << what << ".z";
}

struct ExpectedBall {
  int index;
  Vector3f colour;
  Vector3f position;
  Vector3f velocity;
};

TEST(CreateBalls, FixedSequenceGivesTheKnownBalls) {
  const ExpectedBall cases[] = {
      {0, {0.5006f, 0.7818f, 0.5967f}, {1.0515f, 0.6090f, 0.3437f}, {3.6497f, 0.9463f, 1.3358f}},
      {1,
       {0.5075f, 0.5457f, 0.6822f},
       {-0.0874f, 2.5513f, 0.5377f},
       {-3.9768f, -0.4260f, -0.0582f}},
      {119,
       {0.6642f, 0.8127f, 0.6254f},
       {-1.1448f, 1.9768f, -1.6282f},
       {-0.6484f, -2.6989f, -2.8802f}},
  };
  SceneApp app;
  ASSERT_TRUE(app.createBalls());
  for (const ExpectedBall& expected : cases) {
    SCOPED_TRACE(testing::Message() << "ball " << expected.index);
    const Ball& ball = app.balls[expected.index];
    expectVector(ball.colour, expected.colour, "colour");
    expectVector(ball.position, expected.position, "position");
    expectVector(ball.velocity, expected.velocity, "velocity");
  }
}

TEST(CreateBalls, EveryBallStartsInsideMovingAtFullSpeedWithAPaleColour) {
  SceneApp app;
  ASSERT_TRUE(app.createBalls());
  for (int i = 0; i < kBallCount; ++i) {
    const Ball& ball = app.balls[i];
    for (float component : {ball.position.x, ball.position.y, ball.position.z}) {
      EXPECT_LE(std::fabs(component), kBoxHalfSize - kBallRadius) << "ball " << i;
    }
    for (float component : {ball.colour.x, ball.colour.y, ball.colour.z}) {
      EXPECT_GE(component, 0.5f) << "ball " << i;
      EXPECT_LE(component, 1.0f) << "ball " << i;
    }
    EXPECT_NEAR(ball.velocity.length(), kBallSpeed, 1e-5f) << "ball " << i;
  }
}

TEST(CreateBalls, AlsoBuildsTheBallMesh) {
  SceneApp app;
  ASSERT_TRUE(app.createBalls());
  EXPECT_EQ(app.vertexCount, 266);
  EXPECT_EQ(app.stripCount, kSphereSegments);
  EXPECT_NEAR(app.vertices[0].y, kBallRadius, 1e-6f);
}

TEST(SceneRandom, FollowsTheLinearCongruentialSequence) {
  SceneRandom random;
  // state 1 -> 1 * 214013 + 2531011 = 2745024, >> 16 = 41.
  EXPECT_EQ(random.next(), 41);
  EXPECT_EQ(random.next(), 18467);
  EXPECT_EQ(random.next(), 6334);
}

TEST(SceneApp, ConstructionLeavesEverythingAtRest) {
  SceneApp app;
  EXPECT_EQ(app.viewAngle, 0.0f);
  EXPECT_FALSE(app.useVertexArrays);
  EXPECT_FALSE(app.useBufferObjects);
  EXPECT_EQ(app.vertices, nullptr);
  for (const Ball& ball : app.balls) {
    expectVector(ball.position, {}, "position");
    expectVector(ball.velocity, {}, "velocity");
    expectVector(ball.colour, {}, "colour");
  }
}

TEST(SceneApp, ImagePathsDefaultToTheExchangeFilesAndCanBeChanged) {
  SceneApp standard;
  EXPECT_EQ(standard.imagePaths().stone, "C:\\q_lenn\\Sorvanta2.tga");
  EXPECT_EQ(standard.imagePaths().desktop, "C:\\q_lenn\\Sorvanta1.tga");
  SceneApp elsewhere(SceneApp::ImagePaths{"a.tga", "b.tga"});
  EXPECT_EQ(elsewhere.imagePaths().stone, "a.tga");
  EXPECT_EQ(elsewhere.imagePaths().desktop, "b.tga");
}

TEST(ViewAngle, TurnsByOneDegreeEachWayWithoutWrapping) {
  SceneApp app;
  for (int i = 0; i < 400; ++i) {
    app.incrementViewAngle();
  }
  EXPECT_EQ(app.viewAngle, 400.0f);
  for (int i = 0; i < 401; ++i) {
    app.decrementViewAngle();
  }
  EXPECT_EQ(app.viewAngle, -1.0f);
}

struct BounceCase {
  const char* name;
  float position;
  float velocity;
  float seconds;
  float expectedPosition;
  float expectedVelocity;
};

// One axis at a time, run on x, y and z alike.
TEST(Update, BounceRuleOnEveryAxis) {
  const BounceCase cases[] = {
      {"moving freely", 1.0f, 4.0f, 0.05f, 1.2f, 4.0f},
      {"would cross +5: turned back", 4.6f, 4.0f, 0.05f, 4.6f, -4.0f},
      {"would cross -5: turned back", -4.6f, -4.0f, 0.05f, -4.6f, 4.0f},
      // 4.575 + 0.5 x 0.25 is exactly 4.7 in float, and 4.7 + 0.3 exactly 5.
      {"reaching +5 exactly: no bounce", 4.575f, 0.25f, 0.5f, 4.7f, 0.25f},
      {"reaching -5 exactly: no bounce", -4.575f, -0.25f, 0.5f, -4.7f, -0.25f},
      {"zero step changes nothing", 4.6f, 4.0f, 0.0f, 4.6f, 4.0f},
      {"moving away from a wall", 4.6f, -4.0f, 0.05f, 4.4f, -4.0f},
      {"a long step past the wall is undone", 0.5f, 4.0f, 10.0f, 0.5f, -4.0f},
  };
  for (int axis = 0; axis < 3; ++axis) {
    for (const BounceCase& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << ", axis " << axis);
      SceneApp app;
      float* position = &app.balls[0].position.x + axis;
      float* velocity = &app.balls[0].velocity.x + axis;
      *position = c.position;
      *velocity = c.velocity;
      app.update(c.seconds);
      EXPECT_NEAR(*position, c.expectedPosition, 1e-5f);
      EXPECT_EQ(*velocity, c.expectedVelocity);
    }
  }
}

TEST(Update, TurnedBallFliesAwayFromTheWallNextFrame) {
  SceneApp app;
  app.balls[0].position.set(4.6f, 0.0f, 0.0f);
  app.balls[0].velocity.set(4.0f, 0.0f, 0.0f);
  app.update(0.05f);
  app.update(0.05f);
  EXPECT_NEAR(app.balls[0].position.x, 4.4f, 1e-5f);
}

TEST(Update, AxesBounceIndependently) {
  SceneApp app;
  app.balls[7].position.set(4.6f, 0.0f, -4.6f);
  app.balls[7].velocity.set(4.0f, 2.0f, 1.0f);
  app.update(0.05f);
  expectVector(app.balls[7].position, {4.6f, 0.1f, -4.55f}, "position");
  expectVector(app.balls[7].velocity, {-4.0f, 2.0f, 1.0f}, "velocity");
}

TEST(Update, NoStepLetsABallLeaveTheBox) {
  SceneApp app;
  ASSERT_TRUE(app.createBalls());
  std::mt19937 generator(20261208);
  std::uniform_real_distribution<float> shortStep(0.0f, 0.1f);
  std::uniform_real_distribution<float> longStep(0.0f, 30.0f);
  for (int step = 0; step < 3000; ++step) {
    const float seconds = step % 3 == 0 ? longStep(generator) : shortStep(generator);
    app.update(seconds);
    for (int i = 0; i < kBallCount; ++i) {
      const Vector3f& p = app.balls[i].position;
      for (float component : {p.x, p.y, p.z}) {
        ASSERT_LE(std::fabs(component) + kBallRadius, kBoxHalfSize + 1e-3f)
            << "ball " << i << " after step " << step << " of " << seconds << " s";
      }
      ASSERT_NEAR(app.balls[i].velocity.length(), kBallSpeed, 1e-4f) << "ball " << i;
    }
  }
}

struct LengthCase {
  Vector3f vector;
  float length;
};

TEST(Vector3f, LengthAndScaling) {
  const LengthCase cases[] = {
      {{3.0f, 4.0f, 0.0f}, 5.0f}, {{0.0f, 0.0f, -2.0f}, 2.0f}, {{1.0f, 2.0f, 2.0f}, 3.0f}};
  for (const LengthCase& c : cases) {
    EXPECT_FLOAT_EQ(c.vector.length(), c.length) << c.vector.x << "," << c.vector.y;
    EXPECT_FLOAT_EQ(c.vector.scaled(2.0f).length(), 2.0f * c.length);
  }
}

TEST(Vector3f, NormaliseGivesUnitLength) {
  Vector3f v(3.0f, -4.0f, 12.0f);
  v.normalise();
  EXPECT_FLOAT_EQ(v.length(), 1.0f);
  EXPECT_FLOAT_EQ(v.x, 3.0f / 13.0f);
}

TEST(Vector3f, NormaliseLeavesTheZeroVectorAsItIs) {
  Vector3f v;
  v.normalise();
  EXPECT_EQ(v.x, 0.0f);
  EXPECT_EQ(v.y, 0.0f);
  EXPECT_EQ(v.z, 0.0f);
  EXPECT_FALSE(std::isnan(v.scaled(kBallSpeed).x));
}

}  // namespace
}  // namespace sorvanta
