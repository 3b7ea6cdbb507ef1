#include "stone_texture_bmp.h"

#include "picture_files.h"

namespace sorvanta::stone_texture {

std::vector<std::uint8_t> encodeBmp(const std::vector<std::uint8_t>& pixels) {
  sorvanta::tools::Picture picture(kSize, kSize);
  for (int row = 0; row < kSize; ++row) {
    const int y = kSize - 1 - row;  // bottom row first
    for (int x = 0; x < kSize; ++x) {
      const std::size_t at = (std::size_t(row) * kSize + x) * 3;
      picture.at(x, y) = sorvanta::tools::Rgb{pixels[at + 2], pixels[at + 1], pixels[at]};
    }
  }
  return sorvanta::tools::bmpBytes(picture);
}

}  // namespace sorvanta::stone_texture
