// PNG files as bytes: 8 bits a channel, RGB or RGBA, no interlace, each row filtered
// with the filter that leaves the smallest sum of differences (the usual heuristic),
// deflated at zlib's highest level. The same pixels give the same bytes with one zlib.
#pragma once

#include <cstdint>
#include <vector>

#include "picture_files.h"

namespace sorvanta::tools {

// A picture with an alpha channel: red, green, blue, alpha bytes, top row first.
struct RgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
  RgbaPicture(int w, int h) : width(w), height(h), rgba(std::size_t(w) * h * 4, 0) {}
  std::uint8_t* at(int x, int y) { return &rgba[(std::size_t(y) * width + x) * 4]; }
  const std::uint8_t* at(int x, int y) const { return &rgba[(std::size_t(y) * width + x) * 4]; }
};

std::vector<std::uint8_t> pngBytes(const Picture& picture);
std::vector<std::uint8_t> pngBytes(const RgbaPicture& picture);

}  // namespace sorvanta::tools
