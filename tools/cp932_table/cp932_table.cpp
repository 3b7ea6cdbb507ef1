// Prints the double-byte part of code page 932 as C++ tables, asked of glibc's iconv:
// every lead/trail pair it decodes (sorted by code) and, for every BMP character, the
// code it encodes to (sorted by character). The encoder's choice among duplicates (NEC
// and IBM rows) is the one the reverse table keeps.
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

bool isLeadByte(unsigned b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool isTrailByte(unsigned b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Converts `in` with `cd`; returns the output bytes, or nothing on any failure.
std::vector<unsigned char> convert(iconv_t cd, const std::vector<unsigned char>& in) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::vector<unsigned char> source(in);
  std::vector<unsigned char> out(16);
  char* inPtr = reinterpret_cast<char*>(source.data());
  char* outPtr = reinterpret_cast<char*>(out.data());
  std::size_t inLeft = source.size();
  std::size_t outLeft = out.size();
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
      inLeft != 0) {
    return {};
  }
  out.resize(out.size() - outLeft);
  return out;
}

using Pair = std::pair<unsigned, unsigned>;  // (code, character) or (character, code)

std::vector<Pair> decodedPairs(iconv_t toUtf16) {
  std::vector<Pair> pairs;
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (!isLeadByte(lead) || !isTrailByte(trail)) {
        continue;
      }
      const auto out =
          convert(toUtf16, {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)});
      if (out.size() == 2) {
        pairs.emplace_back(lead << 8 | trail, static_cast<unsigned>(out[0] | out[1] << 8));
      }
    }
  }
  return pairs;
}

std::vector<Pair> encodedPairs(iconv_t fromUtf16) {
  std::vector<Pair> pairs;
  for (unsigned ch = 0x80; ch <= 0xFFFF; ++ch) {
    if (ch >= 0xD800 && ch <= 0xDFFF) {
      continue;
    }
    const auto out = convert(
        fromUtf16, {static_cast<unsigned char>(ch & 0xFF), static_cast<unsigned char>(ch >> 8)});
    if (out.size() == 2 && isLeadByte(out[0])) {
      pairs.emplace_back(ch, static_cast<unsigned>(out[0] << 8 | out[1]));
    }
  }
  return pairs;
}

void printTable(const char* name, const std::vector<Pair>& pairs) {
  std::printf("inline constexpr Cp932Pair %s[] = {\n", name);
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    std::printf("%s{0x%04X,0x%04X},", i % 6 == 0 ? "    " : "", pairs[i].first, pairs[i].second);
    std::printf(i % 6 == 5 || i + 1 == pairs.size() ? "\n" : "");
  }
  std::printf("};\n");
}

}  // namespace

int main() {
  iconv_t toUtf16 = iconv_open("UTF-16LE", "CP932");
  iconv_t fromUtf16 = iconv_open("CP932", "UTF-16LE");
  if (toUtf16 == reinterpret_cast<iconv_t>(-1) || fromUtf16 == reinterpret_cast<iconv_t>(-1)) {
    std::fprintf(stderr, "cp932_table: iconv has no CP932\n");
    return 1;
  }
  std::printf("// Made by tools/cp932_table from glibc's iconv; do not edit.\n");
  std::printf("// Double-byte code page 932: (code, UTF-16) sorted by code, and\n");
  std::printf("// (UTF-16, code) sorted by character.\n");
  printTable("kCp932Decode", decodedPairs(toUtf16));
  printTable("kCp932Encode", encodedPairs(fromUtf16));
  iconv_close(toUtf16);
  iconv_close(fromUtf16);
  return 0;
}
