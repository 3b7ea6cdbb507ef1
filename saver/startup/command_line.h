// Decoding of the front end's command line: the mode letter the screen-saver host
// passes, and the preview parent window's handle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Sorvanta_B {

struct CommandLine {
  bool empty = true;
  // Second character of the upper-cased arguments; '\0' when there is none or when it
  // lies outside ASCII (no mode letter does).
  char modeLetter = '\0';
  // Window handle read from the fourth character on (preview mode); 0 without one.
  std::uint32_t previewParent = 0;
};

// The arguments after the program name, as a program runtime hands them on: the
// program name (quoted or not) and the blanks after it removed, nothing else changed.
std::string argumentsOf(const std::string& fullCommandLine);

// The arguments after the program's own path. Windows may start a screen saver with its
// path unquoted, blanks and all, or in its short form: a command line that starts with
// one of the program's paths (without regard to the case of A to Z), followed by a blank
// or the end, has its arguments after that path. Any other command line, a quoted one
// included, has its first word taken as the program name (argumentsOf).
std::string argumentsAfterProgram(const std::string& fullCommandLine,
                                  const std::vector<std::string>& programPaths);

CommandLine decodeCommandLine(const std::string& arguments);

}  // namespace Sorvanta_B
