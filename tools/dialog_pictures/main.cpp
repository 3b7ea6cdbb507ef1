// Writes the settings dialog's pictures into the folder given (saver/assets/).
#include <cstdio>

#include "dialog_pictures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dialog_pictures OUTPUT_FOLDER\n");
    return 2;
  }
  for (const sorvanta::tools::AssetFile& file : sorvanta::tools::dialogPictureFiles()) {
    const std::string path = std::string(argv[1]) + "/" + file.name;
    if (!sorvanta::tools::writeFile(path, file.bytes)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
