#include "icon_file.h"

#include "little_endian_bytes.h"

namespace sorvanta::tools {
namespace {

constexpr std::uint32_t kDirectoryHeaderSize = 6;
constexpr std::uint32_t kDirectoryEntrySize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr int kPngSize = 256;

// BITMAPINFOHEADER, then blue-green-red-alpha rows bottom up, then the 1-bit AND mask
// with rows padded to four bytes.
std::vector<std::uint8_t> bitmapImage(const RgbaPicture& picture) {
  const int size = picture.width;
  const std::uint32_t maskRowBytes = ((std::uint32_t(size) + 31) / 32) * 4;
  const std::uint32_t colourBytes = std::uint32_t(size) * size * 4;
  std::vector<std::uint8_t> out;
  put32(out, kInfoHeaderSize);
  put32(out, static_cast<std::uint32_t>(size));
  put32(out, static_cast<std::uint32_t>(size) * 2);  // colour and mask together
  put16(out, 1);
  put16(out, 32);
  put32(out, 0);  // BI_RGB
  put32(out, colourBytes + maskRowBytes * size);
  for (int i = 0; i < 4; ++i) {
    put32(out, 0);  // resolution and colour counts: unused in icons
  }
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      const std::uint8_t* p = picture.at(x, y);
      out.insert(out.end(), {p[2], p[1], p[0], p[3]});
    }
  }
  for (int y = size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskRowBytes, 0);
    for (int x = 0; x < size; ++x) {
      if (picture.at(x, y)[3] == 0) {
        row[std::size_t(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

std::vector<std::uint8_t> iconBytes(const std::vector<RgbaPicture>& pictures) {
  std::vector<std::vector<std::uint8_t>> images;
  for (const RgbaPicture& picture : pictures) {
    images.push_back(picture.width >= kPngSize ? pngBytes(picture) : bitmapImage(picture));
  }
  std::vector<std::uint8_t> out;
  put16(out, 0);
  put16(out, 1);  // icon
  put16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset =
      kDirectoryHeaderSize + kDirectoryEntrySize * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int size = pictures[i].width;
    out.push_back(static_cast<std::uint8_t>(size >= kPngSize ? 0 : size));  // 0 means 256
    out.push_back(static_cast<std::uint8_t>(size >= kPngSize ? 0 : size));
    out.push_back(0);  // colour count: none or 256 and over
    out.push_back(0);
    put16(out, 1);   // planes
    put16(out, 32);  // bits per pixel
    put32(out, static_cast<std::uint32_t>(images[i].size()));
    put32(out, offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const std::vector<std::uint8_t>& image : images) {
    out.insert(out.end(), image.begin(), image.end());
  }
  return out;
}

}  // namespace sorvanta::tools
