#include "png_file.h"

#include <zlib.h>

#include <array>
#include <cstdlib>

namespace sorvanta::tools {
namespace {

void putBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.push_back(static_cast<std::uint8_t>(value >> shift));
  }
}

void putChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
  putBig32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(data.size() + 4));
  putBig32(out, static_cast<std::uint32_t>(crc));
}

int paeth(int left, int up, int upLeft) {
  const int p = left + up - upLeft;
  const int toLeft = std::abs(p - left);
  const int toUp = std::abs(p - up);
  const int toUpLeft = std::abs(p - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) {
    return left;
  }
  return toUp <= toUpLeft ? up : upLeft;
}

// One row under the five PNG filters; the one whose bytes, read as signed, sum smallest.
std::vector<std::uint8_t> filteredRow(const std::uint8_t* row, const std::uint8_t* above,
                                      std::size_t length, int channels) {
  std::vector<std::uint8_t> best;
  long bestSum = -1;
  for (int filter = 0; filter < 5; ++filter) {
    std::vector<std::uint8_t> out(length + 1);
    out[0] = static_cast<std::uint8_t>(filter);
    long sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
      const int left = i >= std::size_t(channels) ? row[i - channels] : 0;
      const int up = above != nullptr ? above[i] : 0;
      const int upLeft = above != nullptr && i >= std::size_t(channels) ? above[i - channels] : 0;
      const std::array<int, 5> predicted = {0, left, up, (left + up) / 2, paeth(left, up, upLeft)};
      const auto value = static_cast<std::uint8_t>(row[i] - predicted[std::size_t(filter)]);
      out[i + 1] = value;
      sum += value < 128 ? value : 256 - value;
    }
    if (bestSum < 0 || sum < bestSum) {
      best = std::move(out);
      bestSum = sum;
    }
  }
  return best;
}

std::vector<std::uint8_t> pngFromRows(const std::uint8_t* pixels, int width, int height,
                                      int channels) {
  const std::size_t rowBytes = std::size_t(width) * channels;
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = pixels + rowBytes * y;
    const std::vector<std::uint8_t> filtered =
        filteredRow(row, y > 0 ? row - rowBytes : nullptr, rowBytes, channels);
    raw.insert(raw.end(), filtered.begin(), filtered.end());
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) !=
      Z_OK) {
    return {};
  }
  packed.resize(packedSize);

  std::vector<std::uint8_t> header;
  putBig32(header, static_cast<std::uint32_t>(width));
  putBig32(header, static_cast<std::uint32_t>(height));
  // 8 bits a channel; colour type 2 (RGB) or 6 (RGBA); deflate; adaptive filters; no
  // interlace.
  header.insert(header.end(), {8, static_cast<std::uint8_t>(channels == 4 ? 6 : 2), 0, 0, 0});
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  putChunk(out, "IHDR", header);
  putChunk(out, "IDAT", packed);
  putChunk(out, "IEND", {});
  return out;
}

}  // namespace

std::vector<std::uint8_t> pngBytes(const Picture& picture) {
  std::vector<std::uint8_t> rgb;
  rgb.reserve(picture.pixels.size() * 3);
  for (const Rgb& p : picture.pixels) {
    rgb.insert(rgb.end(), {p.red, p.green, p.blue});
  }
  return pngFromRows(rgb.data(), picture.width, picture.height, 3);
}

std::vector<std::uint8_t> pngBytes(const RgbaPicture& picture) {
  return pngFromRows(picture.rgba.data(), picture.width, picture.height, 4);
}

}  // namespace sorvanta::tools
