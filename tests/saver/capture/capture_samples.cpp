// Writes sample pictures (noise, flat areas, stripes, mixtures; odd widths) through
// SaveTGA, each as NAME_2.tga (uncompressed) and NAME_10.tga (run-length encoded),
// into the folder given, for decoders other than ours to compare.
#include <cstdio>
#include <random>
#include <string>

#include "saver/capture/exchange_files_port_stdio.h"
#include "saver/capture/save_tga.h"
#include "tests/saver/capture/picture_fakes.h"

namespace {

using capture_test::Bgr;
using capture_test::PixelFunction;

struct Sample {
  const char* name;
  int width, height;
  PixelFunction pixel;
};

std::uint8_t hashByte(unsigned x, unsigned y, unsigned salt) {
  unsigned h = x * 73856093u ^ y * 19349663u ^ salt * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  return static_cast<std::uint8_t>(h >> 15);
}

Bgr noise(int x, int y) {
  return {hashByte(x, y, 1), hashByte(x, y, 2), hashByte(x, y, 3)};
}

Bgr flatAreas(int x, int y) {
  const int area = (x / 37) + (y / 23) * 3;
  return {static_cast<std::uint8_t>(area * 40), static_cast<std::uint8_t>(area * 90), 7};
}

Bgr mixed(int x, int y) {
  if ((x / 50 + y / 20) % 3 == 0) {
    return noise(x, y);
  }
  // Few colours: runs of every length, many of 2.
  const std::uint8_t level = hashByte(x / 2, y, 9) & 3;
  return {level, level, static_cast<std::uint8_t>(level * 60)};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: capture_samples FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const Sample samples[] = {
      {"noise", 640, 480, noise},
      {"flat", 1024, 768, flatAreas},
      {"hstripes", 300, 200,
       [](int, int y) {
         return Bgr{static_cast<std::uint8_t>(y / 3 * 50), 1, 2};
       }},
      {"vstripes", 333, 100,
       [](int x, int) {
         return Bgr{1, static_cast<std::uint8_t>(x / 2 * 9), 2};
       }},
      {"one_colour", 1366, 8,
       [](int, int) {
         return Bgr{9, 9, 9};
       }},
      {"mixed", 1366, 120, mixed},
      {"column", 1, 129, mixed},
      {"edge_runs", 129, 130,
       [](int x, int y) {
         return x == 128 ? noise(x, y) : Bgr{5, 6, 7};
       }},
  };
  sorvanta::capture::ExchangeFilesPortStdio files;
  sorvanta::capture::SaveTGA saver(files);
  for (const Sample& sample : samples) {
    capture_test::FakePicture picture(sample.width, sample.height, sample.pixel);
    for (bool compress : {false, true}) {
      const std::string path = folder + "/" + sample.name + (compress ? "_10.tga" : "_2.tga");
      const sorvanta::capture::SaveTgaStatus status = saver.SaveTGAinFile(path, picture, compress);
      if (status != sorvanta::capture::SaveTgaStatus::kSaved) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), sorvanta::capture::statusName(status));
        return 1;
      }
    }
  }
  return 0;
}
