// Times the front end's load work under Wine: the desktop grab, the desktop picture's
// exchange file and the stone picture's exchange file, each against the former way (a black
// fill before the grab, a read-back through an extra screen-sized DIB section copy).
//   grab_write_bench.exe [rounds]     prints the median and the minimum of each step in ms
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "clock_win32.h"
#include "saver/capture/exchange_folder_win32.h"
#include "saver/capture/offscreen_picture_win32.h"
#include "saver/capture/save_tga.h"

namespace {

using sorvanta::bench::nowMs;

double timeMs(const std::function<void()>& step) {
  const double start = nowMs();
  step();
  return nowMs() - start;
}

// The former read-back: the picture copied into a DIB section, then read from there.
class SectionCopyReader final : public sorvanta::capture::PictureSource {
 public:
  explicit SectionCopyReader(sorvanta::capture::OffscreenPicture& picture) : picture_(picture) {}
  int widthInPixels() const override { return picture_.widthInPixels(); }
  int heightInPixels() const override { return picture_.heightInPixels(); }
  void readBits(std::uint8_t* bits, std::size_t, int width, int height) override {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* sectionBits = nullptr;
    HBITMAP section =
        CreateDIBSection(picture_.dc(), &info, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
    HDC copyDc = CreateCompatibleDC(picture_.dc());
    HGDIOBJ original = SelectObject(copyDc, section);
    BitBlt(copyDc, 0, 0, width, height, picture_.dc(), 0, 0, SRCCOPY);
    SelectObject(copyDc, original);
    GetDIBits(copyDc, section, 0, static_cast<UINT>(height), bits, &info, DIB_RGB_COLORS);
    DeleteDC(copyDc);
    DeleteObject(section);
  }

 private:
  sorvanta::capture::OffscreenPicture& picture_;
};

// The former grab: the screen-sized picture filled black, then overwritten by the copy.
void grabAfterBlackFill(sorvanta::capture::OffscreenPicture& picture) {
  picture.resize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  HDC desktop = GetDC(GetDesktopWindow());
  BitBlt(picture.dc(), 0, 0, picture.widthInPixels(), picture.heightInPixels(), desktop, 0, 0,
         SRCCOPY);
  ReleaseDC(GetDesktopWindow(), desktop);
}

// A failed write would time nothing worth reporting: the run stops there.
void save(sorvanta::capture::SaveTGA& writer, const std::string& file,
          sorvanta::capture::PictureSource& picture) {
  const sorvanta::capture::SaveTgaStatus status = writer.SaveTGAinFile(file, picture, false);
  if (status != sorvanta::capture::SaveTgaStatus::kSaved) {
    std::fprintf(stderr, "%s: %s\n", file.c_str(), sorvanta::capture::statusName(status));
    std::exit(1);
  }
}

struct Row {
  std::string name;
  std::vector<double> samples;
};

void print(const Row& row) {
  std::vector<double> sorted = row.samples;
  std::sort(sorted.begin(), sorted.end());
  std::printf("%-34s median %7.2f ms   min %7.2f ms\n", row.name.c_str(), sorted[sorted.size() / 2],
              sorted.front());
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  CreateDirectoryW(L"C:\\sorvanta-bench", nullptr);
  const std::string desktopFile = "C:\\sorvanta-bench\\Sorvanta1.tga";
  const std::string stoneFile = "C:\\sorvanta-bench\\Sorvanta2.tga";
  sorvanta::capture::ExchangeFolderPortWin32 folder;
  sorvanta::capture::ExchangeFolderFiles files(folder, "C:\\sorvanta-bench");
  sorvanta::capture::SaveTGA writer(files);
  sorvanta::capture::OffscreenPicture desktop;
  sorvanta::capture::OffscreenPicture stone;
  stone.resize(256, 256);
  SectionCopyReader desktopViaSection(desktop);
  SectionCopyReader stoneViaSection(stone);

  std::vector<Row> rows = {{"grab (now)", {}},         {"grab (black fill first)", {}},
                           {"desktop file (now)", {}}, {"desktop file (section copy)", {}},
                           {"stone file (now)", {}},   {"stone file (section copy)", {}}};
  for (int round = 0; round < rounds; ++round) {
    // Alternated so that neither way always runs on a warmer cache.
    const bool nowFirst = round % 2 == 0;
    for (int pass = 0; pass < 2; ++pass) {
      if ((pass == 0) == nowFirst) {
        rows[0].samples.push_back(timeMs([&] { desktop.grabDesktop(); }));
        rows[2].samples.push_back(timeMs([&] { save(writer, desktopFile, desktop); }));
        rows[4].samples.push_back(timeMs([&] { save(writer, stoneFile, stone); }));
      } else {
        rows[1].samples.push_back(timeMs([&] { grabAfterBlackFill(desktop); }));
        rows[3].samples.push_back(timeMs([&] { save(writer, desktopFile, desktopViaSection); }));
        rows[5].samples.push_back(timeMs([&] { save(writer, stoneFile, stoneViaSection); }));
      }
    }
  }
  std::printf("screen %d x %d, %d rounds\n", GetSystemMetrics(SM_CXSCREEN),
              GetSystemMetrics(SM_CYSCREEN), rounds);
  for (const Row& row : rows) {
    print(row);
  }
  return 0;
}
