// The front end's 256 x 256 stone picture: a pale grey-green, cloudy stone surface,
// made procedurally and deterministically (integer arithmetic only, so every compiler
// and optimisation level makes the same bytes). It tiles seamlessly. The hack hands it
// to the scene as an exchange TGA; tools/stone_texture also writes it as a BMP.
#pragma once

#include <cstdint>
#include <vector>

namespace sorvanta::stone_texture {

inline constexpr int kSize = 256;

// Pixels as 3-byte blue-green-red, bottom row first, no padding: the pixel layout of
// both a 24-bit BMP and an uncompressed exchange TGA of this size.
std::vector<std::uint8_t> makePixels();

// The picture as an uncompressed exchange TGA file (what the renderer reads).
std::vector<std::uint8_t> encodeTga(const std::vector<std::uint8_t>& pixels);

}  // namespace sorvanta::stone_texture
