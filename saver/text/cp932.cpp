#include "saver/text/cp932.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace Sorvanta_B {
namespace {

struct Cp932Pair {
  std::uint16_t key;
  std::uint16_t value;
};

#include "saver/text/cp932_table.inc"

constexpr char32_t kReplacement = 0xFFFD;

std::uint16_t lookup(const Cp932Pair* begin, const Cp932Pair* end, unsigned key) {
  const Cp932Pair* found = std::lower_bound(
      begin, end, key, [](const Cp932Pair& pair, unsigned k) { return pair.key < k; });
  return found != end && found->key == key ? found->value : 0;
}

void appendUtf8(std::string& out, char32_t ch) {
  if (ch < 0x80) {
    out += static_cast<char>(ch);
  } else if (ch < 0x800) {
    out += static_cast<char>(0xC0 | ch >> 6);
    out += static_cast<char>(0x80 | (ch & 0x3F));
  } else if (ch < 0x10000) {
    out += static_cast<char>(0xE0 | ch >> 12);
    out += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | ch >> 18);
    out += static_cast<char>(0x80 | (ch >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  }
}

// Reads one character at `pos` and advances past it; malformed input gives U+FFFD and
// advances one byte.
char32_t nextUtf8(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = byte(pos);
  std::size_t length = 0;
  char32_t ch = 0;
  char32_t minimum = 0;
  if (first < 0x80) {
    ++pos;
    return first;
  } else if ((first & 0xE0) == 0xC0) {
    length = 2, ch = first & 0x1F, minimum = 0x80;
  } else if ((first & 0xF0) == 0xE0) {
    length = 3, ch = first & 0x0F, minimum = 0x800;
  } else if ((first & 0xF8) == 0xF0) {
    length = 4, ch = first & 0x07, minimum = 0x10000;
  } else {
    ++pos;
    return kReplacement;
  }
  if (pos + length > text.size()) {
    ++pos;
    return kReplacement;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    ch = ch << 6 | (byte(pos + i) & 0x3F);
  }
  if (ch < minimum || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return ch;
}

char32_t decodeSingleByte(unsigned char b) {
  if (b < 0x80) {
    return b;
  }
  if (b >= 0xA1 && b <= 0xDF) {
    return 0xFF61 + (b - 0xA1);  // half-width katakana
  }
  return kReplacement;
}

}  // namespace

bool isCp932LeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string cp932ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (!isCp932LeadByte(b)) {
      appendUtf8(out, decodeSingleByte(b));
      continue;
    }
    if (i + 1 >= bytes.size()) {
      appendUtf8(out, kReplacement);
      break;
    }
    const unsigned code = b << 8 | static_cast<unsigned char>(bytes[i + 1]);
    const std::uint16_t ch = lookup(std::begin(kCp932Decode), std::end(kCp932Decode), code);
    if (ch != 0) {
      appendUtf8(out, ch);
      ++i;
    } else {
      appendUtf8(out, kReplacement);
    }
  }
  return out;
}

std::string utf8ToCp932(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t ch = nextUtf8(utf8, pos);
    if (ch < 0x80) {
      out += static_cast<char>(ch);
    } else if (ch >= 0xFF61 && ch <= 0xFF9F) {
      out += static_cast<char>(0xA1 + (ch - 0xFF61));
    } else if (const std::uint16_t code =
                   ch > 0xFFFF ? 0 : lookup(std::begin(kCp932Encode), std::end(kCp932Encode), ch)) {
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    } else {
      out += '?';
    }
  }
  return out;
}

std::string utf16leToUtf8(std::string_view bytes) {
  std::string out;
  const std::size_t units = bytes.size() / 2;
  const auto unit = [&](std::size_t i) -> char32_t {
    return static_cast<unsigned char>(bytes[2 * i]) | static_cast<unsigned char>(bytes[2 * i + 1])
                                                          << 8;
  };
  for (std::size_t i = 0; i < units; ++i) {
    const char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 &&
        unit(i + 1) <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      appendUtf8(out, kReplacement);
    } else {
      appendUtf8(out, u);
    }
  }
  return out;
}

std::string utf8ToUtf16le(std::string_view utf8) {
  std::string out;
  const auto put = [&](char32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t ch = nextUtf8(utf8, pos);
    if (ch > 0xFFFF) {
      put(0xD800 + ((ch - 0x10000) >> 10));
      put(0xDC00 + ((ch - 0x10000) & 0x3FF));
    } else {
      put(ch);
    }
  }
  return out;
}

}  // namespace Sorvanta_B
