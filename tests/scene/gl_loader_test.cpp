// The loader's version reading, and its refusal without a current context.
#include <gtest/gtest.h>

#include "gl_loader.h"
#include "offscreen_context.h"

namespace {

struct VersionCase {
  const char* text;
  bool parsed;
  int major;
  int minor;
  bool atLeast15;
};

TEST(GlLoaderVersion, ReadsTheLeadingMajorAndMinor) {
  const VersionCase cases[] = {
      {"1.1.0", true, 1, 1, false},
      {"1.4 Mesa", true, 1, 4, false},
      {"1.5", true, 1, 5, true},
      {"2.1 Mesa 22.3.6", true, 2, 1, true},
      {"4.5 (Compatibility Profile) Mesa 22.3.6", true, 4, 5, true},
      {"1.10", true, 1, 10, true},
      {"0.9", true, 0, 9, false},
      {"", false, 0, 0, false},
      {"OpenGL ES 3.2", false, 0, 0, false},
      {"4", false, 0, 0, false},
      {"4.", false, 0, 0, false},
      {".5", false, 0, 0, false},
      {"99999999999999.1", false, 0, 0, false},
  };
  for (const VersionCase& c : cases) {
    sorvanta::gl::GlVersion version;
    EXPECT_EQ(sorvanta::gl::parseVersion(c.text, version), c.parsed) << '"' << c.text << '"';
    EXPECT_EQ(version.major, c.major) << '"' << c.text << '"';
    EXPECT_EQ(version.minor, c.minor) << '"' << c.text << '"';
    EXPECT_EQ(sorvanta::gl::isAtLeast15(version), c.atLeast15) << '"' << c.text << '"';
  }
  sorvanta::gl::GlVersion untouched;
  EXPECT_FALSE(sorvanta::gl::parseVersion(nullptr, untouched));
}

TEST(GlLoader, FailsWithoutACurrentContextAndLeavesHarmlessEntryPoints) {
  sorvanta::OffscreenContext::releaseCurrent();
  EXPECT_FALSE(sorvanta::gl::initialise());
  EXPECT_FALSE(sorvanta::gl::versionAtLeast15());
  GLuint names[2] = {77, 78};
  glGenBuffers(2, names);
  EXPECT_EQ(names[0], 0u);
  EXPECT_EQ(names[1], 0u);
  glBindBuffer(GL_ARRAY_BUFFER, 5);
  glBufferData(GL_ARRAY_BUFFER, 16, nullptr, GL_STATIC_DRAW);
  glBufferSubData(GL_ARRAY_BUFFER, 0, 16, names);
  glDeleteBuffers(2, names);
}

TEST(GlLoader, FindsBufferObjectsInMesa) {
  sorvanta::OffscreenContext context(64, 64);
  ASSERT_TRUE(context.ready());
  ASSERT_TRUE(sorvanta::gl::initialise());
  EXPECT_TRUE(sorvanta::gl::versionAtLeast15());
  GLuint name = 0;
  glGenBuffers(1, &name);
  EXPECT_NE(name, 0u);
  glDeleteBuffers(1, &name);
}

}  // namespace
