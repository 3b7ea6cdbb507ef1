#include "stone_texture.h"

#include <algorithm>
#include <cstring>

#include "exchange/tga_layout.h"

namespace sorvanta::stone_texture {
namespace {

// A well-mixed 8-bit value for a lattice point.
int latticeValue(int x, int y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^
                    static_cast<std::uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return static_cast<int>(h & 0xFF);
}

// Smoothstep on 0..256, result 0..256.
int smooth(int t) {
  return (t * t * (3 * 256 - 2 * t)) / (256 * 256);
}

// Value noise 0..255 with lattice cells of `cell` pixels, wrapping at kSize.
int valueNoise(int x, int y, int cell, std::uint32_t seed) {
  const int cells = kSize / cell;
  const int cx = x / cell;
  const int cy = y / cell;
  const int tx = smooth((x % cell) * 256 / cell);
  const int ty = smooth((y % cell) * 256 / cell);
  const int x1 = (cx + 1) % cells;
  const int y1 = (cy + 1) % cells;
  const int top = latticeValue(cx, cy, seed) * (256 - tx) + latticeValue(x1, cy, seed) * tx;
  const int bottom = latticeValue(cx, y1, seed) * (256 - tx) + latticeValue(x1, y1, seed) * tx;
  return (top * (256 - ty) + bottom * ty) / (256 * 256);
}

// Fractal sum of octaves from 64-pixel cells down to 2-pixel cells, 0..255.
int cloud(int x, int y, std::uint32_t seed) {
  int sum = 0;
  int weights = 0;
  int weight = 32;
  for (int cell = 64; cell >= 2; cell /= 2, weight /= 2) {
    sum += valueNoise(x, y, cell, seed + static_cast<std::uint32_t>(cell)) * weight;
    weights += weight;
  }
  return sum / weights;
}

std::uint8_t clampByte(int value) {
  return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

}  // namespace

std::vector<std::uint8_t> makePixels() {
  std::vector<std::uint8_t> pixels;
  pixels.reserve(kSize * kSize * 3);
  for (int row = 0; row < kSize; ++row) {
    const int y = kSize - 1 - row;  // bottom row first
    for (int x = 0; x < kSize; ++x) {
      // Broad pale clouds, a faint darker veining where a second field crosses its
      // middle, and a fine grain.
      const int body = cloud(x, y, 7) - 128;
      const int veinField = cloud(x, y, 31) - 128;
      const int vein = std::max(0, 10 - std::abs(veinField)) * 3;
      const int grain = (latticeValue(x, y, 99) - 128) / 16;
      const int light = 178 + body * 7 / 10 - vein + grain;
      const int tint = (cloud(x, y, 53) - 128) / 8;
      pixels.push_back(clampByte(light - 8 - tint));  // blue
      pixels.push_back(clampByte(light + 6 + tint));  // green
      pixels.push_back(clampByte(light - 4));         // red
    }
  }
  return pixels;
}

std::vector<std::uint8_t> encodeTga(const std::vector<std::uint8_t>& pixels) {
  const exchange::TgaHeader header =
      exchange::makeHeader(kSize, kSize, exchange::kImageTypeUncompressed);
  std::vector<std::uint8_t> out(sizeof header + pixels.size());
  std::memcpy(out.data(), &header, sizeof header);
  std::copy(pixels.begin(), pixels.end(), out.begin() + sizeof header);
  return out;
}

}  // namespace sorvanta::stone_texture
