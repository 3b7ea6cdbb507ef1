// TgaImage: reads a Truevision TGA file (true-colour, uncompressed or run-length
// encoded, 24 or 32 bits) into a tightly packed pixel buffer in red-green-blue(-alpha)
// order with the bottom row first, ready for glTexImage2D. Portable: it needs nothing
// of the platform but the C library's buffered file functions.
//
// The exchange folder can be written by anyone, so the reader survives any file: the
// header's sizes are checked before anything is allocated, and a file that ends early
// leaves the rest of the picture black (zero). Memory bound: no screen is larger than
// the bounds below, so a side is at most 16384 pixels, a picture at most 8192 x 8192
// pixels and a pixel at most 4 bytes: one load holds at most 256 MiB of pixels, plus
// one row (at most 64 KiB) while it turns a top-down picture over. A 48-byte file
// whose header promises more is refused instead of costing gigabytes.
#pragma once

#include <cstddef>
#include <cstdint>

// The GL enum values the record carries; the texture code checks them against
// <GL/gl.h>, so this header needs no GL header of its own.
inline constexpr unsigned kTgaGlUnsignedByte = 0x1401;  // GL_UNSIGNED_BYTE
inline constexpr unsigned kTgaGlRgb = 0x1907;           // GL_RGB
inline constexpr unsigned kTgaGlRgba = 0x1908;          // GL_RGBA

class TgaImage {
 public:
  // Largest width or height accepted, and the most pixels in all: more than any
  // desktop has (the largest today are 7680 x 4320).
  static constexpr int kMaxDimension = 16384;
  static constexpr long long kMaxPixels = 8192LL * 8192LL;
  // Pixel depths accepted, in bits: 24 to 39 (depth / 8 bytes a pixel, 3 or 4).
  static constexpr int kMinDepth = 24;
  static constexpr int kMaxDepth = 39;

  TgaImage() = default;
  virtual ~TgaImage();
  TgaImage(const TgaImage&) = delete;
  TgaImage& operator=(const TgaImage&) = delete;

  // Reads the file at `path`. True when pixel data is present afterwards. A file that
  // cannot be opened or is refused (not type 2 or 10, a colour map, a depth outside 24
  // to 39 bits, an empty picture, a side above kMaxDimension or more than kMaxPixels
  // pixels) leaves the record as it was. Depths 25
  // to 31 read as 24-bit pixels, 33 to 39 as 32-bit ones.
  bool load(const char* path);
  // Reverses the order of the rows in place; false without data or without memory
  // for one row.
  bool flipVertical();
  // Exchanges the first and third byte of every pixel (blue-green-red to red-green-blue).
  void swapRedBlue();
  // Releases the pixels; data() is null afterwards.
  void freeData();

  unsigned dataType() const { return dataType_; }
  unsigned format() const { return format_; }
  int bitsPerPixel() const { return bitsPerPixel_; }
  const std::uint8_t* data() const { return data_; }
  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t dataSize() const { return dataSize_; }

 private:
  int bytesPerPixel() const { return bitsPerPixel_ / 8; }

  unsigned dataType_ = 0;
  unsigned format_ = 0;
  std::uint8_t bitsPerPixel_ = 0;
  std::uint8_t* data_ = nullptr;  // owned, from calloc
  int width_ = 0;
  int height_ = 0;
  std::size_t dataSize_ = 0;
};
