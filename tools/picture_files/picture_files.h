// Plain picture files as bytes: 24-bit bitmaps (.bmp), a 24-bit icon (.ico) and a
// two-colour cursor (.cur), all little-endian, rows bottom-up as Windows stores them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sorvanta::tools {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Rgb& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
};

// A picture of RGB pixels, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;
  Picture(int w, int h, Rgb fill = {}) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
  Rgb& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
  const Rgb& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// A two-colour cursor: each pixel transparent, black or white.
enum class CursorPixel : std::uint8_t { Transparent, Black, White };
struct CursorPicture {
  int width = 32;
  int height = 32;
  int hotSpotX = 0;
  int hotSpotY = 0;
  std::vector<CursorPixel> pixels;  // top row first
};

// The resolution a bitmap file records, in pixels per metre.
inline constexpr std::uint32_t kPixelsPerMetre72Dpi = 2835;
inline constexpr std::uint32_t kPixelsPerMetre96Dpi = 3780;

std::vector<std::uint8_t> bmpBytes(const Picture& picture,
                                   std::uint32_t pixelsPerMetre = kPixelsPerMetre72Dpi);
std::vector<std::uint8_t> icoBytes(const Picture& picture);
std::vector<std::uint8_t> curBytes(const CursorPicture& cursor);

// Reads a 24-bit bottom-up .bmp as bmpBytes writes it; an empty picture otherwise.
Picture readBmp(const std::vector<std::uint8_t>& bytes);

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readFile(const std::string& path);

}  // namespace sorvanta::tools
