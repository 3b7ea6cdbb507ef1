// The exchange-image reader against stb_image's TGA decoder, on the same desktop-sized
// files (1024 x 768, 24 bits, uncompressed and run-length encoded). Both read the file
// from disk (the page cache, after the first run) and return red-green-blue pixels.
// The floor reads each file and copies its pixel bytes once.
#include <benchmark/benchmark.h>
#include <stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_lines.h"
#include "median_reporter.h"
#include "tga_image.h"
#include "tga_test_files.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr std::size_t kHeaderBytes = 18;
constexpr std::size_t kPixelBytes = static_cast<std::size_t>(kWidth) * kHeight * 3;

// A desktop-like picture: flat window areas and title bars, a gradient background,
// and noisy "photo" patches, so the run-length file mixes runs and raw packets.
tgatest::Bytes desktopPixels() {
  tgatest::Bytes pixels;
  pixels.reserve(static_cast<std::size_t>(kWidth) * kHeight * 3);
  std::uint32_t noise = 12345;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      std::uint8_t b = static_cast<std::uint8_t>(120 + y / 8);
      std::uint8_t g = static_cast<std::uint8_t>(80 + y / 16);
      std::uint8_t r = 30;
      const bool window = x > 100 && x < 700 && y > 150 && y < 600;
      const bool photo = x > 720 && x < 1000 && y > 300 && y < 560;
      if (window) {
        b = g = r = (y > 570) ? 10 : 240;
      } else if (photo) {
        noise = noise * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(noise >> 24);
        g = static_cast<std::uint8_t>(noise >> 16);
        r = static_cast<std::uint8_t>(noise >> 8);
      }
      pixels.insert(pixels.end(), {b, g, r});
    }
  }
  return pixels;
}

struct BenchFiles {
  tgatest::ScratchFolder folder{"tga-reader-bench"};
  std::string type2;
  std::string type10;

  BenchFiles() {
    const tgatest::Bytes pixels = desktopPixels();
    const tgatest::Bytes header2 = tgatest::headerBytes({0, 0, 2, kWidth, kHeight, 24, 0});
    const tgatest::Bytes header10 = tgatest::headerBytes({0, 0, 10, kWidth, kHeight, 24, 0});
    type2 = folder.write("desktop2.tga", tgatest::concat(header2, pixels));
    type10 = folder.write(
        "desktop10.tga",
        tgatest::concat(header10, tgatest::encodeRunLength(pixels, kWidth, kHeight, 3)));
  }
};

void loadWithReader(benchmark::State& state, const std::string* path) {
  for (auto _ : state) {
    TgaImage image;
    if (!image.load(path->c_str())) {
      state.SkipWithError("reader refused the file");
      break;
    }
    benchmark::DoNotOptimize(image.data());
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 3);
}

void loadWithStb(benchmark::State& state, const std::string* path) {
  for (auto _ : state) {
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load(path->c_str(), &width, &height, &channels, 0);
    if (pixels == nullptr) {
      state.SkipWithError("stb refused the file");
      break;
    }
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 3);
}

// The floor: the least any reader of the file must do. The file's bytes read into
// memory, then one plain copy of the pixel bytes (those after the header) into a fresh
// block for the picture, as the reader's is. The file's block is allocated once,
// outside the timing: a reader need not have one (it can read in place), and on this
// kind of machine a second multi-megabyte block freed and allocated each time costs
// tens of milliseconds in page faults, which would hide the floor itself.
void readAndCopy(benchmark::State& state, const std::string* path) {
  std::vector<std::uint8_t> bytes(kHeaderBytes + kPixelBytes);
  for (auto _ : state) {
    std::FILE* file = std::fopen(path->c_str(), "rb");
    if (file == nullptr) {
      state.SkipWithError("no file");
      break;
    }
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    const std::size_t pixelBytes = got > kHeaderBytes ? got - kHeaderBytes : 0;
    auto* pixels = static_cast<std::uint8_t*>(std::calloc(kPixelBytes, 1));
    std::memcpy(pixels, bytes.data() + kHeaderBytes, pixelBytes);
    benchmark::DoNotOptimize(pixels);
    benchmark::ClobberMemory();
    std::free(pixels);
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 3);
}

void printLines(const sorvanta::bench::MedianReporter& times) {
  for (const char* type : {"type2", "type10"}) {
    const std::string name = std::string("load/") + type;
    const double reader = times.seconds(name + "/reader");
    const std::string key = std::string("tga_read/") + type;
    if (reader <= 0.0) {
      continue;  // not run (filtered out)
    }
    sorvanta::bench::printFigure(key, sorvanta::bench::timeFigure(reader));
    sorvanta::bench::printPeerRatio(key, times.seconds(name + "/stb"), reader);
  }
  for (const char* type : {"type2", "type10"}) {
    const std::string name = std::string("load/") + type;
    sorvanta::bench::printFloorRatio(std::string("tga_read/") + type,
                                     times.seconds(name + "/reader"),
                                     times.seconds(name + "/floor"));
  }
}

}  // namespace

int main(int argc, char** argv) {
  BenchFiles files;
  benchmark::RegisterBenchmark("load/type2/reader", loadWithReader, &files.type2)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("load/type2/stb", loadWithStb, &files.type2)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("load/type10/reader", loadWithReader, &files.type10)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("load/type10/stb", loadWithStb, &files.type10)
      ->Unit(benchmark::kMicrosecond);
  for (const std::string* path : {&files.type2, &files.type10}) {
    const std::string type = path == &files.type2 ? "type2" : "type10";
    benchmark::RegisterBenchmark(("load/" + type + "/floor").c_str(), readAndCopy, path)
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  sorvanta::bench::MedianReporter reporter(printLines);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
