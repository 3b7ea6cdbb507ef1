// The stone texture as the front end embeds it: a complete 24-bit BMP file.
#pragma once

#include <cstdint>
#include <vector>

#include "stone_texture.h"

namespace sorvanta::stone_texture {

std::vector<std::uint8_t> encodeBmp(const std::vector<std::uint8_t>& pixels);

}  // namespace sorvanta::stone_texture
