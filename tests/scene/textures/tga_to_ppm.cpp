// Decodes a TGA file with the renderer's reader and writes it as a binary PPM (top row
// first, alpha dropped), so that scripts can compare it with other decoders.
#include <cstdio>

#include "tga_image.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tga_to_ppm in.tga out.ppm\n");
    return 2;
  }
  TgaImage image;
  if (!image.load(argv[1])) {
    std::fprintf(stderr, "tga_to_ppm: %s refused\n", argv[1]);
    return 1;
  }
  std::FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr) {
    return 1;
  }
  std::fprintf(out, "P6\n%d %d\n255\n", image.width(), image.height());
  const int bpp = image.bitsPerPixel() / 8;
  for (int row = image.height() - 1; row >= 0; --row) {
    const unsigned char* pixel = image.data() + static_cast<std::size_t>(row) * image.width() * bpp;
    for (int x = 0; x < image.width(); ++x, pixel += bpp) {
      std::fwrite(pixel, 1, 3, out);
    }
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
