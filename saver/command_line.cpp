#include "saver/command_line.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace Sorvanta_B {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}

std::string withoutBlanks(const std::string& text) {
  std::string kept;
  for (char c : text) {
    if (!isBlank(c)) {
      kept += c;
    }
  }
  return kept;
}

double readRadixDigits(const std::string& text, std::size_t start, int radix) {
  double value = 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    const int c = std::toupper(static_cast<unsigned char>(text[i]));
    int digit = -1;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    }
    if (digit < 0 || digit >= radix) {
      break;
    }
    value = value * radix + digit;
  }
  return value;
}

// The longest prefix of text that reads as a decimal number with an optional sign,
// fraction and exponent (E or D, as the decimal reader accepts).
std::size_t decimalPrefixLength(const std::string& text) {
  std::size_t i = 0;
  auto digitsFrom = [&text](std::size_t at) {
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
      ++at;
    }
    return at;
  };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    ++i;
  }
  const std::size_t mantissaStart = i;
  i = digitsFrom(i);
  if (i < text.size() && text[i] == '.') {
    i = digitsFrom(i + 1);
  }
  if (i == mantissaStart || (i == mantissaStart + 1 && text[mantissaStart] == '.')) {
    return 0;
  }
  if (i < text.size() && (std::toupper(static_cast<unsigned char>(text[i])) == 'E' ||
                          std::toupper(static_cast<unsigned char>(text[i])) == 'D')) {
    std::size_t e = i + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) {
      ++e;
    }
    const std::size_t exponentEnd = digitsFrom(e);
    if (exponentEnd > e) {
      i = exponentEnd;
    }
  }
  return i;
}

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

double readDecimal(const std::string& text) {
  const std::size_t length = decimalPrefixLength(text);
  if (length == 0) {
    return 0;
  }
  std::string number = text.substr(0, length);
  for (char& c : number) {
    if (c == 'd' || c == 'D') {
      c = 'E';
    }
  }
  return std::strtod(number.c_str(), nullptr);
}

}  // namespace

std::string argumentsOf(const std::string& fullCommandLine) {
  std::size_t i = 0;
  if (!fullCommandLine.empty() && fullCommandLine[0] == '"') {
    const std::size_t closing = fullCommandLine.find('"', 1);
    i = closing == std::string::npos ? fullCommandLine.size() : closing + 1;
  }
  while (i < fullCommandLine.size() && !isBlank(fullCommandLine[i])) {
    ++i;
  }
  while (i < fullCommandLine.size() && isBlank(fullCommandLine[i])) {
    ++i;
  }
  return fullCommandLine.substr(i);
}

double readLeadingNumber(const std::string& text) {
  const std::string compact = withoutBlanks(text);
  double value = 0;
  if (compact.size() >= 2 && compact[0] == '&' && std::toupper(compact[1]) == 'H') {
    value = readRadixDigits(compact, 2, 16);
  } else if (compact.size() >= 2 && compact[0] == '&' && std::toupper(compact[1]) == 'O') {
    value = readRadixDigits(compact, 2, 8);
  } else {
    value = readDecimal(compact);
  }
  return std::nearbyint(value);  // the default rounding mode rounds halves to even
}

CommandLine decodeCommandLine(const std::string& arguments) {
  CommandLine decoded;
  decoded.empty = arguments.empty();
  // The text is UTF-8: the second and fourth characters are counted in characters.
  const std::size_t second = characterOffset(arguments, 1);
  if (second < arguments.size()) {
    const auto letter = static_cast<unsigned char>(arguments[second]);
    decoded.modeLetter = letter < 0x80 ? static_cast<char>(std::toupper(letter)) : '\0';
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
