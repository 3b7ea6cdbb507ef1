// Writes the installer's pictures and the README's still frame into the repository
// given: showcase_pictures REPOSITORY STONE_TGA. STONE_TGA is the stone texture as an
// exchange TGA (build/native/tools/stone_texture/Sorvanta2.tga); scripts/pictures runs it.
#include <cstdio>
#include <string>

#include "showcase_pictures.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: showcase_pictures REPOSITORY STONE_TGA\n");
    return 2;
  }
  const std::string repository = argv[1];
  // The sample desktop's TGA goes beside the stone texture's, in the build folder.
  const std::string stone = argv[2];
  const std::string::size_type slash = stone.find_last_of('/');
  const std::string work = slash == std::string::npos ? "." : stone.substr(0, slash);
  const auto files = sorvanta::tools::showcasePictureFiles(stone, work);
  if (files.empty()) {
    std::fprintf(stderr, "the scene could not be drawn off-screen\n");
    return 1;
  }
  for (const sorvanta::tools::AssetFile& file : files) {
    const std::string path = repository + "/" + file.name;
    if (!sorvanta::tools::writeFile(path, file.bytes)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
