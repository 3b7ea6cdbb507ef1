// TgaImage: reads a Truevision TGA file (true-colour, uncompressed or run-length
// encoded, 24 or 32 bits) into a tightly packed pixel buffer in red-green-blue(-alpha)
// order with the bottom row first, ready for glTexImage2D. Portable: it needs nothing
// of the platform but the C library's buffered file functions.
//
// The exchange folder can be written by anyone, so the reader survives any file:
// sizes are checked before they are multiplied, nothing beyond 16384 pixels a side is
// accepted, and a file that ends early leaves the rest of the picture black (zero).
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
  // Largest width or height accepted: what a texture can hold on any GL in use.
  static constexpr int kMaxDimension = 16384;

  TgaImage() = default;
  virtual ~TgaImage();
  TgaImage(const TgaImage&) = delete;
  TgaImage& operator=(const TgaImage&) = delete;

  // Reads the file at `path`. True when pixel data is present afterwards. A file that
  // cannot be opened or is refused (not type 2 or 10, a colour map, a depth other than
  // 24 or 32 bits, an empty or oversized picture) leaves the record as it was.
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
