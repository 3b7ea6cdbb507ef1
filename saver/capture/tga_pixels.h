// The byte-level pieces of writing an exchange image: the padded row length of a
// 24-bit device-independent bitmap, the copy that drops that padding, and the
// run-length packet encoder of image type 10. Pure functions, no platform calls.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sorvanta::capture {

// Bytes a 24-bit bitmap row occupies: width x 3 rounded up to a multiple of 4.
std::size_t bitmapStride(int width);

// Copies height rows of width x 3 bytes from a bitmap whose rows are stride bytes
// apart into a buffer without padding, keeping the row order. One block when the
// rows carry no padding, one block per row otherwise. pixels may be bitmap itself:
// the rows are then closed up in place.
void copyRowsWithoutPadding(const std::uint8_t* bitmap, std::size_t stride, int width, int height,
                            std::uint8_t* pixels);

// The most bytes encodeRunLength can write for pixelCount pixels (every packet holds
// at least one pixel and adds one header byte).
std::size_t runLengthCapacity(std::size_t pixelCount);

// Cuts rows of width blue-green-red pixels into run and raw packets (at most 128
// pixels each; a packet never spans two rows; two or more equal neighbours always
// form a run). Writes into out, which holds runLengthCapacity(pixelCount) bytes, and
// returns the number of bytes written. pixelCount is a whole number of rows.
std::size_t encodeRunLength(const std::uint8_t* pixels, std::size_t pixelCount, int width,
                            std::uint8_t* out);

}  // namespace sorvanta::capture
