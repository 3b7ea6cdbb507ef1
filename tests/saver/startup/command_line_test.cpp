#include "saver/startup/command_line.h"

#include <gtest/gtest.h>

namespace {

using Sorvanta_B::argumentsAfterProgram;
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

// The program's own paths as Windows gives them: the long one with a blank in the user's
// name, and its short form.
const std::vector<std::string> kProgramPaths = {
    "C:\\Users\\Jane Doe\\AppData\\Local\\Programs\\Sorvanta\\Sorvanta.scr",
    "C:\\Users\\JANEDO~1\\AppData\\Local\\Programs\\Sorvanta\\SORVAN~1.SCR",
};

TEST(CommandLine, ArgumentsFollowTheProgramsOwnPathInEveryForm) {
  const struct {
    const char* commandLine;
    const char* arguments;
  } cases[] = {
      // Unquoted, with the blank of the user's name: Windows passes it on unchanged.
      {"C:\\Users\\Jane Doe\\AppData\\Local\\Programs\\Sorvanta\\Sorvanta.scr /s", "/s"},
      {"C:\\Users\\Jane Doe\\AppData\\Local\\Programs\\Sorvanta\\Sorvanta.scr /p 1234", "/p 1234"},
      {"C:\\Users\\Jane Doe\\AppData\\Local\\Programs\\Sorvanta\\Sorvanta.scr", ""},
      {"C:\\Users\\Jane Doe\\AppData\\Local\\Programs\\Sorvanta\\Sorvanta.scr  \t/c:42", "/c:42"},
      // Another letter case, as the settings store it.
      {"c:\\users\\JANE DOE\\appdata\\local\\programs\\sorvanta\\SORVANTA.SCR /s", "/s"},
      // The short form Screen Saver Settings write, in either case.
      {"C:\\Users\\JANEDO~1\\AppData\\Local\\Programs\\Sorvanta\\SORVAN~1.SCR /s", "/s"},
      {"c:\\users\\janedo~1\\appdata\\local\\programs\\sorvanta\\sorvan~1.scr /c", "/c"},
      // Quoted: the first word, as before.
      {"\"C:\\Users\\Jane Doe\\AppData\\Local\\Programs\\Sorvanta\\Sorvanta.scr\" /s", "/s"},
      // Another program whose path merely begins like this one's: its first word.
      {"C:\\Users\\Jane Doe\\AppData\\Local\\Programs\\Sorvanta\\Sorvanta.scr2 /s",
       "Doe\\AppData\\Local\\Programs\\Sorvanta\\Sorvanta.scr2 /s"},
      {"C:\\Users\\JANEDO~1\\AppData\\Local\\Programs\\Sorvanta\\SORVAN~1.SCRX /s", "/s"},
      // Another path: its first word is the program name, as before.
      {"C:\\WINDOWS\\Sorvanta.scr /s", "/s"},
      {"Sorvanta.scr /p 5", "/p 5"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(argumentsAfterProgram(c.commandLine, kProgramPaths), c.arguments)
        << '"' << c.commandLine << '"';
  }
}

TEST(CommandLine, NoKnownPathLeavesTheFirstWordRule) {
  EXPECT_EQ(argumentsAfterProgram("C:\\a b\\Sorvanta.scr /s", {}), "b\\Sorvanta.scr /s");
  EXPECT_EQ(argumentsAfterProgram("C:\\a b\\Sorvanta.scr /s", {""}), "b\\Sorvanta.scr /s");
  EXPECT_EQ(argumentsAfterProgram("C:\\a", {"C:\\a b\\Sorvanta.scr"}), "");
}

}  // namespace
