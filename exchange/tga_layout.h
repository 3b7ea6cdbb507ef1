// The exchange image: the one file layout by which the front end hands pictures to
// the renderer. An 18-byte Truevision TGA header, no identification field, no colour
// map, then 24-bit blue-green-red pixels, rows bottom-up with no padding.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace exchange {

// The two files and their folder (Windows compares paths without regard to case).
inline constexpr char kFolder[] = "C:\\q_lenn";
inline constexpr char kDesktopImagePath[] = "C:\\q_lenn\\Sorvanta1.tga";
inline constexpr char kStoneImagePath[] = "C:\\q_lenn\\Sorvanta2.tga";

// The stone picture is always this many pixels square.
inline constexpr int kStoneSize = 256;

// Header field offsets (all multi-byte fields little-endian).
inline constexpr std::size_t kIdLengthOffset = 0;
inline constexpr std::size_t kColourMapTypeOffset = 1;
inline constexpr std::size_t kImageTypeOffset = 2;
inline constexpr std::size_t kColourMapSpecOffset = 3;  // 5 bytes
inline constexpr std::size_t kOriginOffset = 8;         // X and Y, 2 bytes each
inline constexpr std::size_t kWidthOffset = 12;
inline constexpr std::size_t kHeightOffset = 14;
inline constexpr std::size_t kPixelDepthOffset = 16;
inline constexpr std::size_t kDescriptorOffset = 17;

// The header as it lies in the file: byte fields only, so no padding.
struct TgaHeader {
  std::uint8_t idLength;
  std::uint8_t colourMapType;
  std::uint8_t imageType;
  std::uint8_t colourMapSpec[5];
  std::uint8_t origin[4];
  std::uint8_t width[2];
  std::uint8_t height[2];
  std::uint8_t pixelDepth;
  std::uint8_t descriptor;
};
inline constexpr std::size_t kHeaderSize = 18;
static_assert(sizeof(TgaHeader) == kHeaderSize, "the TGA header is 18 bytes with no padding");
static_assert(offsetof(TgaHeader, width) == kWidthOffset);
static_assert(offsetof(TgaHeader, height) == kHeaderSize - 4);
static_assert(offsetof(TgaHeader, descriptor) == kDescriptorOffset);

inline constexpr std::uint8_t kImageTypeUncompressed = 2;  // true-colour
inline constexpr std::uint8_t kImageTypeRunLength = 10;    // run-length encoded true-colour
inline constexpr std::uint8_t kPixelDepth = 24;
inline constexpr int kBytesPerPixel = 3;
inline constexpr std::uint8_t kDescriptor = 0;     // no alpha, origin lower-left
inline constexpr std::uint8_t kTopDownBit = 0x20;  // rows stored top row first
inline constexpr int kMaxHeaderDimension = 32767;  // signed 16-bit fields

// Packet headers of the run-length encoding: a run of n equal pixels is 0x80 + n - 1,
// a raw packet of n pixels is n - 1; n is 1 to 128 (2 to 128 for a run).
inline constexpr int kMaxPacketPixels = 128;
inline constexpr std::uint8_t kRunPacketBit = 0x80;

inline std::uint16_t readLe16(const std::uint8_t bytes[2]) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline void writeLe16(std::uint8_t bytes[2], std::uint16_t value) {
  bytes[0] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

// The header the writer puts in front of a picture; width and height must already
// fit the signed 16-bit fields.
inline TgaHeader makeHeader(int width, int height, std::uint8_t imageType) {
  TgaHeader header{};
  header.imageType = imageType;
  writeLe16(header.width, static_cast<std::uint16_t>(width));
  writeLe16(header.height, static_cast<std::uint16_t>(height));
  header.pixelDepth = kPixelDepth;
  header.descriptor = kDescriptor;
  return header;
}

}  // namespace exchange
