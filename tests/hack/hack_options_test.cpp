// The hack's command line as XScreenSaver and users write it.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "hack_options.h"

namespace {

using sorvanta::hack::Options;
using sorvanta::hack::Target;

bool parse(std::initializer_list<const char*> arguments, Options& options) {
  std::vector<const char*> argv{"sorvanta"};
  argv.insert(argv.end(), arguments);
  std::string error;
  return sorvanta::hack::parseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(HackOptions, ReadsWhatXScreenSaverAndUsersWrite) {
  Options options;
  ASSERT_TRUE(parse({}, options));
  EXPECT_EQ(options.target, Target::kOwnWindow);
  EXPECT_EQ(options.width, 1024);
  EXPECT_EQ(options.height, 768);
  EXPECT_EQ(options.delayMicroseconds, 30000);

  ASSERT_TRUE(parse({"--root", "--delay", "0", "--fps"}, options));
  EXPECT_EQ(options.target, Target::kRoot);
  EXPECT_EQ(options.delayMicroseconds, 0);
  EXPECT_TRUE(options.showFps);

  ASSERT_TRUE(parse({"-window-id", "0x4a00007"}, options));
  EXPECT_EQ(options.target, Target::kGivenWindow);
  EXPECT_EQ(options.windowId, 0x4a00007UL);
  ASSERT_TRUE(parse({"-window-id", "77594631"}, options));
  EXPECT_EQ(options.windowId, 77594631UL);

  ASSERT_TRUE(parse({"-geometry", "800x600+10-20"}, options));
  EXPECT_EQ(options.width, 800);
  EXPECT_EQ(options.height, 600);
  EXPECT_EQ(options.x, 10);
  EXPECT_EQ(options.y, -20);
  EXPECT_TRUE(options.placed);
  ASSERT_TRUE(parse({"-geometry", "+5+6"}, options));
  EXPECT_EQ(options.width, 1024);
  EXPECT_EQ(options.x, 5);
}

TEST(HackOptions, RefusesWhatItCannotUse) {
  for (const auto& arguments : std::vector<std::vector<const char*>>{{"-delay", "-5"},
                                                                     {"-delay"},
                                                                     {"-geometry", "800x"},
                                                                     {"-geometry", "0x600"},
                                                                     {"-window-id", "zz"},
                                                                     {"-window-id", "0"},
                                                                     {"-bogus"},
                                                                     {"root"}}) {
    std::vector<const char*> argv{"sorvanta"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    Options options;
    std::string error;
    EXPECT_FALSE(
        sorvanta::hack::parseOptions(static_cast<int>(argv.size()), argv.data(), options, error))
        << arguments[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
