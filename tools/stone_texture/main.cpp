// Writes the stone stone picture: stone_texture out.bmp [out.tga]
#include <cstdio>
#include <vector>

#include "stone_texture_bmp.h"

namespace {

bool writeFile(const char* path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* out = std::fopen(path, "wb");
  if (out == nullptr) {
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: stone_texture out.bmp [out.tga]\n");
    return 2;
  }
  const std::vector<std::uint8_t> pixels = sorvanta::stone_texture::makePixels();
  if (!writeFile(argv[1], sorvanta::stone_texture::encodeBmp(pixels))) {
    std::fprintf(stderr, "stone_texture: cannot write %s\n", argv[1]);
    return 1;
  }
  if (argc == 3 && !writeFile(argv[2], sorvanta::stone_texture::encodeTga(pixels))) {
    std::fprintf(stderr, "stone_texture: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
