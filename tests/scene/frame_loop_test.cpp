// The frame loop's portable pieces: the frame timer and the automatic view swing.
#include <cstdint>

#include <gtest/gtest.h>

#include "frame_timer.h"
#include "scene_app.h"
#include "view_swing.h"

namespace sorvanta {
namespace {

// The tick counter the timer reads in these tests.
std::uint32_t fakeTick = 0;
std::uint32_t readFakeTick() {
  return fakeTick;
}

struct TimerCase {
  const char* name;
  std::uint32_t startTick;
  std::uint32_t nowTick;
  float seconds;
};

TEST(FrameTimer, SecondsSinceThePreviousReading) {
  const TimerCase cases[] = {
      {"no time", 5000, 5000, 0.0f},
      {"one frame", 1000, 1016, 0.016f},
      {"a long pause", 0, 12500, 12.5f},
      {"across the 32-bit wrap", 0xFFFFFF00u, 0x100u, 0.512f},
      {"just before the wrap", 0xFFFFFFFFu, 0u, 0.001f},
  };
  for (const TimerCase& c : cases) {
    fakeTick = c.startTick;
    FrameTimer timer(readFakeTick);
    timer.start();
    EXPECT_EQ(timer.lastTick, c.startTick) << c.name;
    fakeTick = c.nowTick;
    EXPECT_FLOAT_EQ(timer.elapsedSeconds(), c.seconds) << c.name;
    EXPECT_EQ(timer.lastTick, c.nowTick) << c.name;
  }
}

TEST(FrameTimer, EachCallMeasuresFromThePreviousCall) {
  fakeTick = 100;
  FrameTimer timer(readFakeTick);
  timer.start();
  fakeTick = 350;
  EXPECT_FLOAT_EQ(timer.elapsedSeconds(), 0.25f);
  fakeTick = 400;
  EXPECT_FLOAT_EQ(timer.elapsedSeconds(), 0.05f);
  EXPECT_FLOAT_EQ(timer.elapsedSeconds(), 0.0f);
}

struct SwingCase {
  int frames;
  float angle;
  int counter;
};

TEST(ViewSwing, RisesFallsAndRestsOverEightHundredFrames) {
  const SwingCase cases[] = {
      {1, 1.0f, 1},    {399, 399.0f, 399}, {400, 398.0f, 400}, {799, -1.0f, 799},
      {800, -1.0f, 0}, {801, 0.0f, 1},     {1600, -2.0f, 0},   {2400, -3.0f, 0},
  };
  for (const SwingCase& c : cases) {
    SceneApp app;
    int frameCounter = 0;
    for (int frame = 0; frame < c.frames; ++frame) {
      advanceViewSwing(frameCounter, app);
    }
    EXPECT_EQ(app.viewAngle, c.angle) << "after " << c.frames << " frames";
    EXPECT_EQ(frameCounter, c.counter) << "after " << c.frames << " frames";
  }
}

}  // namespace
}  // namespace sorvanta
