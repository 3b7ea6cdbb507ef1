#include "exchange_image.h"

#include <cstring>

#include "exchange/tga_layout.h"

namespace sorvanta::hack {

std::vector<std::uint8_t> encodeExchangeImage(const std::vector<std::uint32_t>& pixels, int width,
                                              int height) {
  const exchange::TgaHeader header =
      exchange::makeHeader(width, height, exchange::kImageTypeUncompressed);
  std::vector<std::uint8_t> bytes(exchange::kHeaderSize);
  std::memcpy(bytes.data(), &header, exchange::kHeaderSize);
  bytes.reserve(bytes.size() + static_cast<std::size_t>(width) * height * exchange::kBytesPerPixel);
  for (int row = height - 1; row >= 0; --row) {
    const std::uint32_t* source = pixels.data() + static_cast<std::size_t>(row) * width;
    for (int column = 0; column < width; ++column) {
      const std::uint32_t rgb = source[column];
      bytes.push_back(static_cast<std::uint8_t>(rgb & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>((rgb >> 8) & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>((rgb >> 16) & 0xFF));
    }
  }
  return bytes;
}

std::uint8_t channelValue(unsigned long pixel, unsigned long mask) {
  if (mask == 0) {
    return 0;
  }
  int shift = 0;
  while (((mask >> shift) & 1UL) == 0) {
    ++shift;
  }
  const unsigned long maximum = mask >> shift;
  const unsigned long value = (pixel & mask) >> shift;
  return static_cast<std::uint8_t>((value * 255UL + maximum / 2) / maximum);
}

}  // namespace sorvanta::hack
