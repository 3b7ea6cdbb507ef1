// The program's icon (saver/assets/program_icon.ico): the settings dialog's 32 x 32
// window icon, a glass box on navy with three lit balls, drawn anew at every size
// Windows asks for, 16, 24, 32, 48 and 256 pixels, from the same shapes scaled. Fixed
// numbers only, so each run makes the same bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "png_file.h"

namespace sorvanta::tools {

inline constexpr int kProgramIconSizes[] = {16, 24, 32, 48, 256};

RgbaPicture programIcon(int size);
std::vector<std::uint8_t> programIconFile();

}  // namespace sorvanta::tools
