// The capture as the run form does it, for the tests under Wine:
//   capture_driver grab OUT.tga [rle]      grabs the desktop and writes it
//   capture_driver bmp IN.bmp OUT.tga [rle] loads a 24-bit BMP and writes it
// Prints the picture size and the writer's status; exits 0 only when saved.
#include <cstdio>
#include <cstring>
#include <string>

#include "saver/capture/exchange_folder_win32.h"
#include "saver/capture/offscreen_picture_win32.h"
#include "saver/capture/save_tga.h"

namespace {

int save(sorvanta::capture::OffscreenPicture& picture, const char* path, bool compress) {
  // The file's folder is the exchange folder, opened once as the run form opens its own.
  const std::string file(path);
  const std::string folderPath = file.substr(0, file.find_last_of('\\'));
  sorvanta::capture::ExchangeFolderPortWin32 folder;
  sorvanta::capture::ExchangeFolderFiles files(folder, folderPath);
  sorvanta::capture::SaveTGA saver(files);
  const sorvanta::capture::SaveTgaStatus status = saver.SaveTGAinFile(path, picture, compress);
  std::printf("%d %d %s\n", picture.widthInPixels(), picture.heightInPixels(),
              sorvanta::capture::statusName(status));
  return status == sorvanta::capture::SaveTgaStatus::kSaved ? 0 : 1;
}

bool flag(int argc, char** argv, int index) {
  return argc > index && std::strcmp(argv[index], "rle") == 0;
}

}  // namespace

int main(int argc, char** argv) {
  sorvanta::capture::OffscreenPicture picture;
  if (argc >= 3 && std::strcmp(argv[1], "grab") == 0) {
    if (!picture.grabDesktop()) {
      std::printf("grab failed\n");
    }
    return save(picture, argv[2], flag(argc, argv, 3));
  }
  if (argc >= 4 && std::strcmp(argv[1], "bmp") == 0) {
    if (!picture.loadBitmapFile(argv[2])) {
      std::printf("load failed\n");
      return 2;
    }
    return save(picture, argv[3], flag(argc, argv, 4));
  }
  std::fprintf(stderr, "usage: capture_driver grab OUT [rle] | bmp IN OUT [rle]\n");
  return 2;
}
