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

bool startsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  if (prefix.size() > text.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (upperAscii(text[i]) != upperAscii(prefix[i])) {
      return false;
    }
  }
  return true;
}

std::string withoutLeadingBlanks(const std::string& text, std::size_t from) {
  return std::string(withoutLeading(std::string_view(text).substr(from), kCommandLineBlanks));
}

}  // namespace

std::string argumentsAfterProgram(const std::string& fullCommandLine,
                                  const std::vector<std::string>& programPaths) {
  std::size_t longest = 0;
  for (const std::string& path : programPaths) {
    // A path that merely begins the command line's first word is another program's.
    const bool wholeWord = path.size() == fullCommandLine.size() ||
                           (path.size() < fullCommandLine.size() &&
                            isBlankIn(fullCommandLine[path.size()], kCommandLineBlanks));
    if (!path.empty() && path.size() > longest && wholeWord &&
        startsWithIgnoringCase(fullCommandLine, path)) {
      longest = path.size();
    }
  }
  return longest > 0 ? withoutLeadingBlanks(fullCommandLine, longest)
                     : argumentsOf(fullCommandLine);
}

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
