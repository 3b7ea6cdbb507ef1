// Writes the six button skins as BMP files into the folder given on the command line.
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/button_skins/button_skins.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  for (const std::string& name : sorvanta::button_skins::SkinNames()) {
    sorvanta::button_skins::Picture picture;
    sorvanta::button_skins::DrawSkin(name, picture);
    const auto bytes = sorvanta::button_skins::EncodeBmp(picture);
    const std::string path =
        std::string(argv[1]) + "/" + sorvanta::button_skins::SkinFileName(name);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
