// Test helpers: TGA files built byte by byte and written to a scratch folder.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "exchange/tga_layout.h"

namespace tgatest {

using Bytes = std::vector<std::uint8_t>;

struct HeaderFields {
  std::uint8_t idLength = 0;
  std::uint8_t colourMapType = 0;
  std::uint8_t imageType = 2;
  int width = 1;
  int height = 1;
  std::uint8_t pixelDepth = 24;
  std::uint8_t descriptor = 0;
};

inline Bytes headerBytes(const HeaderFields& fields) {
  exchange::TgaHeader header{};
  header.idLength = fields.idLength;
  header.colourMapType = fields.colourMapType;
  header.imageType = fields.imageType;
  exchange::writeLe16(header.width, static_cast<std::uint16_t>(fields.width));
  exchange::writeLe16(header.height, static_cast<std::uint16_t>(fields.height));
  header.pixelDepth = fields.pixelDepth;
  header.descriptor = fields.descriptor;
  Bytes out(sizeof header);
  std::memcpy(out.data(), &header, sizeof header);
  return out;
}

inline Bytes concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Run-length packets for `pixels` (file order), cut row by row: runs of equal pixels
// become run packets, everything else raw packets, at most 128 pixels each.
inline Bytes encodeRunLength(const Bytes& pixels, int width, int height, int bytesPerPixel) {
  Bytes out;
  const std::size_t bpp = static_cast<std::size_t>(bytesPerPixel);
  auto same = [&](std::size_t a, std::size_t b) {
    return std::equal(pixels.begin() + a * bpp, pixels.begin() + (a + 1) * bpp,
                      pixels.begin() + b * bpp);
  };
  for (int row = 0; row < height; ++row) {
    const std::size_t first = static_cast<std::size_t>(row) * width;
    const std::size_t end = first + width;
    std::size_t i = first;
    while (i < end) {
      std::size_t j = i + 1;
      if (j < end && same(i, j)) {
        while (j < end && j - i < 128 && same(i, j))
          ++j;
        out.push_back(static_cast<std::uint8_t>(0x80 + (j - i - 1)));
        out.insert(out.end(), pixels.begin() + i * bpp, pixels.begin() + (i + 1) * bpp);
      } else {
        while (j < end && j - i < 128 && !(j + 1 < end && same(j, j + 1)))
          ++j;
        out.push_back(static_cast<std::uint8_t>(j - i - 1));
        out.insert(out.end(), pixels.begin() + i * bpp, pixels.begin() + j * bpp);
      }
      i = j;
    }
  }
  return out;
}

// A scratch folder of its own for each test program, removed at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() /
              (name + "-" + std::to_string(std::random_device{}()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string write(const std::string& name, const Bytes& bytes) const {
    const std::string file = (path_ / name).string();
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out != nullptr) {
      if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), out);
      std::fclose(out);
    }
    return file;
  }
  std::string pathOf(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace tgatest
