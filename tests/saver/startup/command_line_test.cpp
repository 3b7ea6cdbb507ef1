#include "saver/startup/command_line.h"

#include <gtest/gtest.h>

namespace {

using Sorvanta_B::argumentsOf;
using Sorvanta_B::decodeCommandLine;

struct CommandLineCase {
  const char* arguments;
  bool empty;
  char mode;
  std::uint32_t parent;
};

TEST(CommandLine, ModeLetterAndPreviewParent) {
  const CommandLineCase cases[] = {
      {"/s", false, 'S', 0},
      {"/S", false, 'S', 0},
      {"-s", false, 'S', 0},
      {"xs", false, 'S', 0},
      {"s", false, '\0', 0},
      {"/c:1234", false, 'C', 1234},
      {"/c", false, 'C', 0},
      {"/p 1234", false, 'P', 1234},
      {"/p1234", false, 'P', 234},
      {"", true, '\0', 0},
      {"/a", false, 'A', 0},
      {"/p   56 78", false, 'P', 5678},
      {"/p 99 trailing", false, 'P', 99},
      {"/p 12abc34", false, 'P', 12},
      {"/p text", false, 'P', 0},
      {"/p 4294967295", false, 'P', 4294967295u},
      {"/p 99999999999", false, 'P', 0},
      {"/p &H1F", false, 'P', 31},
      {"/p 7.5", false, 'P', 8},
      {"/p 6.5", false, 'P', 6},
      // Characters, not bytes: a two-byte prefix, a three-byte third character.
      {"és", false, 'S', 0},
      {"/p\u30fb1234", false, 'P', 1234},
      {"/\uff53", false, '\0', 0},
  };
  for (const auto& c : cases) {
    const auto decoded = decodeCommandLine(c.arguments);
    EXPECT_EQ(decoded.empty, c.empty) << '"' << c.arguments << '"';
    EXPECT_EQ(decoded.modeLetter, c.mode) << '"' << c.arguments << '"';
    EXPECT_EQ(decoded.previewParent, c.parent) << '"' << c.arguments << '"';
  }
}

TEST(CommandLine, ArgumentsFollowTheProgramName) {
  EXPECT_EQ(argumentsOf("\"C:\\Program Files\\Sorvanta.scr\" /p 1234"), "/p 1234");
  EXPECT_EQ(argumentsOf("C:\\WINDOWS\\Sorvanta.scr /s"), "/s");
  EXPECT_EQ(argumentsOf("Sorvanta.scr"), "");
  EXPECT_EQ(argumentsOf("\"Sorvanta.scr\""), "");
  EXPECT_EQ(argumentsOf("Sorvanta.scr   /c:42 "), "/c:42 ");
}

}  // namespace
