// An icon file (.ico) of several sizes, as Windows wants them: each picture below 256
// pixels as a 32-bit bitmap with its alpha channel (and the AND mask older readers use,
// set where a pixel is fully transparent), the 256-pixel one as a PNG.
#pragma once

#include <cstdint>
#include <vector>

#include "png_file.h"

namespace sorvanta::tools {

// Pictures square, 1 to 256 pixels, in the order the directory lists them.
std::vector<std::uint8_t> iconBytes(const std::vector<RgbaPicture>& pictures);

}  // namespace sorvanta::tools
