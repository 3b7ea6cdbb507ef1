#include "saver/text/ascii_text.h"

namespace Sorvanta_B {

bool isBlankIn(char c, std::string_view blanks) {
  return blanks.find(c) != std::string_view::npos;
}

std::string_view withoutLeading(std::string_view text, std::string_view blanks) {
  while (!text.empty() && isBlankIn(text.front(), blanks)) {
    text.remove_prefix(1);
  }
  return text;
}

std::string_view trimmed(std::string_view text, std::string_view blanks) {
  text = withoutLeading(text, blanks);
  while (!text.empty() && isBlankIn(text.back(), blanks)) {
    text.remove_suffix(1);
  }
  return text;
}

std::string withoutAny(std::string_view text, std::string_view blanks) {
  std::string kept;
  for (char c : text) {
    if (!isBlankIn(c, blanks)) {
      kept += c;
    }
  }
  return kept;
}

char upperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

char lowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string upperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    c = upperAscii(c);
  }
  return upper;
}

}  // namespace Sorvanta_B
