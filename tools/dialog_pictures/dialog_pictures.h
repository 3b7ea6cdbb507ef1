// The settings dialog's pictures: the two 12 x 12 choice marks, the 556 x 20 grainy
// grey panel strip, the 32 x 32 window icon and the two-colour link cursor. Every
// picture is computed from fixed numbers, so each run makes the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "picture_files.h"

namespace sorvanta::tools {

Picture choiceMark(bool chosen);
Picture panelStrip();
Picture windowIcon();
CursorPicture linkCursor();

struct AssetFile {
  std::string name;  // file name under saver/assets/
  std::vector<std::uint8_t> bytes;
};

std::vector<AssetFile> dialogPictureFiles();

}  // namespace sorvanta::tools
