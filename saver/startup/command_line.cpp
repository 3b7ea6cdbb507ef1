#include "saver/startup/command_line.h"

#include "saver/text/ascii_text.h"
#include "saver/text/number_text.h"

namespace Sorvanta_B {
namespace {

// The byte offset of the character with the given index (0 for the first) in UTF-8
// text; the text's size when it has no such character.
std::size_t characterOffset(const std::string& text, std::size_t index) {
  std::size_t offset = 0;
  for (std::size_t skipped = 0; skipped < index && offset < text.size(); ++skipped) {
    ++offset;
    while (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80) {
      ++offset;  // a continuation byte of the same character
    }
  }
  return offset;
}

}  // namespace

std::string argumentsOf(const std::string& fullCommandLine) {
  std::size_t i = 0;
  if (!fullCommandLine.empty() && fullCommandLine[0] == '"') {
    const std::size_t closing = fullCommandLine.find('"', 1);
    i = closing == std::string::npos ? fullCommandLine.size() : closing + 1;
  }
  while (i < fullCommandLine.size() && !isBlankIn(fullCommandLine[i], kCommandLineBlanks)) {
    ++i;
  }
  while (i < fullCommandLine.size() && isBlankIn(fullCommandLine[i], kCommandLineBlanks)) {
    ++i;
  }
  return fullCommandLine.substr(i);
}

CommandLine decodeCommandLine(const std::string& arguments) {
  CommandLine decoded;
  decoded.empty = arguments.empty();
  // The text is UTF-8: the second and fourth characters are counted in characters.
  const std::size_t second = characterOffset(arguments, 1);
  if (second < arguments.size()) {
    const auto letter = static_cast<unsigned char>(arguments[second]);
    decoded.modeLetter = letter < 0x80 ? upperAscii(arguments[second]) : '\0';
  }
  const std::size_t fourth = characterOffset(arguments, 3);
  if (fourth < arguments.size()) {
    const double handle = readLeadingNumber(arguments.substr(fourth));
    // A number that does not fit a 32-bit handle is an error, and the handle keeps 0.
    if (handle >= -2147483648.0 && handle <= 4294967295.0) {
      decoded.previewParent = static_cast<std::uint32_t>(static_cast<std::int64_t>(handle));
    }
  }
  return decoded;
}

}  // namespace Sorvanta_B
