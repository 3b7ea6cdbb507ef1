#include "saver/capture/tga_pixels.h"

#include <cstring>

#include "exchange/tga_layout.h"

namespace sorvanta::capture {

namespace {

constexpr std::size_t kPixelBytes = exchange::kBytesPerPixel;
constexpr std::size_t kMaxPacket = exchange::kMaxPacketPixels;

// Whether the pixel at p has the same three bytes as its right-hand neighbour.
inline bool equalsNext(const std::uint8_t* p) {
  return p[0] == p[3] && p[1] == p[4] && p[2] == p[5];
}

// Length of the run starting at row[i] (which equals its neighbour), capped at 128.
inline std::size_t runLength(const std::uint8_t* row, std::size_t i, std::size_t width) {
  const std::size_t limit = i + kMaxPacket < width ? i + kMaxPacket : width;
  std::size_t end = i + 2;
  const std::uint8_t* pixel = row + i * kPixelBytes;
  while (end < limit && std::memcmp(row + end * kPixelBytes, pixel, kPixelBytes) == 0) {
    ++end;
  }
  return end - i;
}

// Length of the raw stretch starting at row[i]: up to, not including, the next pixel
// that equals its right-hand neighbour, at most 128, always ending at the row's end.
inline std::size_t rawLength(const std::uint8_t* row, std::size_t i, std::size_t width) {
  const std::size_t limit = i + kMaxPacket < width ? i + kMaxPacket : width;
  std::size_t end = i + 1;
  while (end < limit && !(end + 1 < width && equalsNext(row + end * kPixelBytes))) {
    ++end;
  }
  return end - i;
}

std::uint8_t* encodeRow(const std::uint8_t* row, std::size_t width, std::uint8_t* out) {
  std::size_t i = 0;
  while (i < width) {
    if (i + 1 < width && equalsNext(row + i * kPixelBytes)) {
      const std::size_t n = runLength(row, i, width);
      *out++ = static_cast<std::uint8_t>(exchange::kRunPacketBit + (n - 1));
      std::memcpy(out, row + i * kPixelBytes, kPixelBytes);
      out += kPixelBytes;
      i += n;
    } else {
      const std::size_t n = rawLength(row, i, width);
      *out++ = static_cast<std::uint8_t>(n - 1);
      std::memcpy(out, row + i * kPixelBytes, n * kPixelBytes);
      out += n * kPixelBytes;
      i += n;
    }
  }
  return out;
}

}  // namespace

std::size_t bitmapStride(int width) {
  const std::size_t rowBytes = static_cast<std::size_t>(width) * kPixelBytes;
  return (rowBytes + 3) / 4 * 4;
}

void copyRowsWithoutPadding(const std::uint8_t* bitmap, std::size_t stride, int width, int height,
                            std::uint8_t* pixels) {
  const std::size_t rowBytes = static_cast<std::size_t>(width) * kPixelBytes;
  const std::size_t rows = static_cast<std::size_t>(height);
  if (rows == 0 || rowBytes == 0) {
    return;
  }
  if (stride == rowBytes) {
    if (pixels != bitmap) {
      std::memcpy(pixels, bitmap, rowBytes * rows);
    }
    return;
  }
  // memmove: in place, each row moves down onto bytes already copied or its own.
  for (std::size_t r = 0; r < rows; ++r) {
    std::memmove(pixels + r * rowBytes, bitmap + r * stride, rowBytes);
  }
}

std::size_t runLengthCapacity(std::size_t pixelCount) {
  return pixelCount * (kPixelBytes + 1);
}

std::size_t encodeRunLength(const std::uint8_t* pixels, std::size_t pixelCount, int width,
                            std::uint8_t* out) {
  if (width <= 0 || pixelCount == 0) {
    return 0;
  }
  const std::size_t rowPixels = static_cast<std::size_t>(width);
  const std::size_t rowBytes = rowPixels * kPixelBytes;
  const std::size_t rows = pixelCount / rowPixels;
  std::uint8_t* const start = out;
  for (std::size_t r = 0; r < rows; ++r) {
    out = encodeRow(pixels + r * rowBytes, rowPixels, out);
  }
  return static_cast<std::size_t>(out - start);
}

}  // namespace sorvanta::capture
