// Writes the program's icon: program_icon OUTPUT_FOLDER (saver/assets/).
#include <cstdio>
#include <string>

#include "program_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: program_icon OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string path = std::string(argv[1]) + "/program_icon.ico";
  if (!sorvanta::tools::writeFile(path, sorvanta::tools::programIconFile())) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
