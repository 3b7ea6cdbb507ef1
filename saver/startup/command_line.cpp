#include "saver/startup/command_line.h"

#include "saver/text/ascii_text.h"
#include "saver/text/number_text.h"

namespace Sorvanta_B {

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
  if (arguments.size() >= 2) {
    decoded.modeLetter = upperAscii(arguments[1]);
  }
  if (arguments.size() >= 4) {
    const double handle = readLeadingNumber(arguments.substr(3));
    // A number that does not fit a 32-bit handle is an error, and the handle keeps 0.
    if (handle >= -2147483648.0 && handle <= 4294967295.0) {
      decoded.previewParent = static_cast<std::uint32_t>(static_cast<std::int64_t>(handle));
    }
  }
  return decoded;
}

}  // namespace Sorvanta_B
