#include "picture_files.h"

#include <fstream>
#include <iterator>

#include "little_endian_bytes.h"

namespace sorvanta::tools {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;

std::uint32_t get32(const std::vector<std::uint8_t>& in, std::size_t at) {
  return std::uint32_t(in[at]) | std::uint32_t(in[at + 1]) << 8 | std::uint32_t(in[at + 2]) << 16 |
         std::uint32_t(in[at + 3]) << 24;
}

std::uint32_t paddedRowBytes(int width, int bitsPerPixel) {
  return ((std::uint32_t(width) * bitsPerPixel + 31) / 32) * 4;
}

void putInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bitsPerPixel,
                   std::uint32_t imageBytes, std::uint32_t colours,
                   std::uint32_t pixelsPerMetre = kPixelsPerMetre72Dpi) {
  put32(out, kInfoHeaderSize);
  put32(out, static_cast<std::uint32_t>(width));
  put32(out, static_cast<std::uint32_t>(height));
  put16(out, 1);
  put16(out, static_cast<std::uint32_t>(bitsPerPixel));
  put32(out, 0);  // BI_RGB
  put32(out, imageBytes);
  put32(out, pixelsPerMetre);
  put32(out, pixelsPerMetre);
  put32(out, colours);
  put32(out, 0);
}

// 24-bit rows, bottom row first, blue-green-red, each padded to four bytes.
void putRows24(std::vector<std::uint8_t>& out, const Picture& picture) {
  const std::uint32_t padding =
      paddedRowBytes(picture.width, 24) - std::uint32_t(picture.width) * 3;
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const Rgb& p = picture.at(x, y);
      out.insert(out.end(), {p.blue, p.green, p.red});
    }
    out.insert(out.end(), padding, 0);
  }
}

// One bit a pixel, bottom row first; bit 7 is the leftmost pixel.
template <typename Bit>
void putRows1(std::vector<std::uint8_t>& out, int width, int height, Bit bit) {
  const std::uint32_t rowBytes = paddedRowBytes(width, 1);
  for (int y = height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(rowBytes, 0);
    for (int x = 0; x < width; ++x) {
      if (bit(x, y)) {
        row[std::size_t(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

void putDirectory(std::vector<std::uint8_t>& out, int type, int width, int height,
                  std::uint32_t field1, std::uint32_t field2, std::uint32_t imageBytes) {
  put16(out, 0);
  put16(out, static_cast<std::uint32_t>(type));
  put16(out, 1);
  out.push_back(static_cast<std::uint8_t>(width));
  out.push_back(static_cast<std::uint8_t>(height));
  out.push_back(0);  // colour count: none or 256 and over
  out.push_back(0);
  put16(out, field1);  // icon: planes; cursor: hot spot x
  put16(out, field2);  // icon: bits per pixel; cursor: hot spot y
  put32(out, imageBytes);
  put32(out, 6 + 16);
}

}  // namespace

std::vector<std::uint8_t> bmpBytes(const Picture& picture, std::uint32_t pixelsPerMetre) {
  const std::uint32_t imageBytes = paddedRowBytes(picture.width, 24) * picture.height;
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  put32(out, kFileHeaderSize + kInfoHeaderSize + imageBytes);
  put32(out, 0);
  put32(out, kFileHeaderSize + kInfoHeaderSize);
  putInfoHeader(out, picture.width, picture.height, 24, imageBytes, 0, pixelsPerMetre);
  putRows24(out, picture);
  return out;
}

std::vector<std::uint8_t> icoBytes(const Picture& picture) {
  const std::uint32_t colourBytes = paddedRowBytes(picture.width, 24) * picture.height;
  const std::uint32_t maskBytes = paddedRowBytes(picture.width, 1) * picture.height;
  const std::uint32_t imageBytes = kInfoHeaderSize + colourBytes + maskBytes;
  std::vector<std::uint8_t> out;
  putDirectory(out, 1, picture.width, picture.height, 1, 24, imageBytes);
  // An icon's header counts the colour and mask bitmaps together: twice the height.
  putInfoHeader(out, picture.width, picture.height * 2, 24, colourBytes + maskBytes, 0);
  putRows24(out, picture);
  putRows1(out, picture.width, picture.height, [](int, int) { return false; });  // opaque
  return out;
}

std::vector<std::uint8_t> curBytes(const CursorPicture& cursor) {
  const std::uint32_t maskBytes = paddedRowBytes(cursor.width, 1) * cursor.height;
  const std::uint32_t imageBytes = kInfoHeaderSize + 8 + 2 * maskBytes;
  std::vector<std::uint8_t> out;
  putDirectory(out, 2, cursor.width, cursor.height, static_cast<std::uint32_t>(cursor.hotSpotX),
               static_cast<std::uint32_t>(cursor.hotSpotY), imageBytes);
  putInfoHeader(out, cursor.width, cursor.height * 2, 1, 2 * maskBytes, 2);
  out.insert(out.end(), {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0});  // black, white
  auto pixel = [&cursor](int x, int y) { return cursor.pixels[std::size_t(y) * cursor.width + x]; };
  // XOR bitmap: white where the cursor is white; AND mask: set where it is transparent.
  putRows1(out, cursor.width, cursor.height,
           [&](int x, int y) { return pixel(x, y) == CursorPixel::White; });
  putRows1(out, cursor.width, cursor.height,
           [&](int x, int y) { return pixel(x, y) == CursorPixel::Transparent; });
  return out;
}

Picture readBmp(const std::vector<std::uint8_t>& bytes) {
  const std::size_t headers = kFileHeaderSize + kInfoHeaderSize;
  if (bytes.size() < headers || bytes[0] != 'B' || bytes[1] != 'M' || get32(bytes, 28) >> 16 != 0 ||
      (get32(bytes, 28) & 0xFFFF) != 24) {
    return Picture(0, 0);
  }
  const int width = static_cast<int>(get32(bytes, 18));
  const int height = static_cast<int>(get32(bytes, 22));
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096) {
    return Picture(0, 0);
  }
  const std::size_t rowBytes = paddedRowBytes(width, 24);
  const std::size_t offset = get32(bytes, 10);
  if (offset < headers || bytes.size() < offset + rowBytes * height) {
    return Picture(0, 0);
  }
  Picture picture(width, height);
  for (int y = 0; y < height; ++y) {
    const std::size_t row = offset + rowBytes * std::size_t(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const std::size_t at = row + std::size_t(x) * 3;
      picture.at(x, y) = Rgb{bytes[at + 2], bytes[at + 1], bytes[at]};
    }
  }
  return picture;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
}

}  // namespace sorvanta::tools
