// Writes the preview form's two pictures into the folder given (saver/assets/), drawn
// from the saver's scene; with two TGA paths the scene is textured with them.
// The committed pictures use the stone texture (build/native/tools/stone_texture/
// Sorvanta2.tga) for both the balls and the floor.
#include <cstdio>

#include "preview_pictures.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: preview_pictures OUTPUT_FOLDER [CUBE_MAP_TGA FLOOR_TGA]\n");
    return 2;
  }
  sorvanta::tools::SceneImages images;
  if (argc == 4) {
    images = {argv[2], argv[3]};
  }
  const auto files = sorvanta::tools::previewPictureFiles(images);
  if (files.empty()) {
    std::fprintf(stderr, "the scene could not be drawn off-screen\n");
    return 1;
  }
  for (const sorvanta::tools::AssetFile& file : files) {
    const std::string path = std::string(argv[1]) + "/" + file.name;
    if (!sorvanta::tools::writeFile(path, file.bytes)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
