// What SaveTGA needs of a picture: its size in pixels and a read-back of its pixels
// as a 24-bit bottom-up device-independent bitmap. The Windows picture implements it
// with a memory device context and GetDIBits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sorvanta::capture {

class PictureSource {
 public:
  virtual ~PictureSource() = default;

  virtual int widthInPixels() const = 0;
  virtual int heightInPixels() const = 0;

  // Fills bitmap (stride x height bytes, already zeroed) with the picture: bottom row
  // first, blue-green-red, each row padded to stride. Whatever cannot be copied stays
  // zero; every graphics object made for the copy is released before it returns.
  virtual void readBits(std::uint8_t* bitmap, std::size_t stride, int width, int height) = 0;
};

}  // namespace sorvanta::capture
