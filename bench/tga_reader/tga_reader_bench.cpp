// The exchange-image reader against stb_image's TGA decoder, on the same desktop-sized
// files (1024 x 768, 24 bits, uncompressed and run-length encoded). Both read the file
// from disk (the page cache, after the first run) and return red-green-blue pixels.
// The floor reads each file and copies its pixel bytes once.
//
// The largest picture the reader accepts (8192 x 8192, 24 bits) is timed too, as a
// complete file and as the 48-byte file whose header promises it (what anyone who can
// write into the exchange folder can leave there), with what one load holds resident
// at its peak. Its floors: the complete file read and copied once; for the short file
// the zeroed picture allocated and written once.
#include <benchmark/benchmark.h>
#include <stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
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
constexpr int kLargestSide = 8192;
constexpr std::size_t kLargestPixelBytes =
    static_cast<std::size_t>(kLargestSide) * kLargestSide * 3;

// One file to load and the size of the picture it holds.
struct LoadCase {
  std::string path;
  std::size_t pixelBytes;
};

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

// The complete largest picture, written in blocks: a gradient of rows.
std::string writeLargestFile(const tgatest::ScratchFolder& folder) {
  const std::string path = folder.pathOf("largest2.tga");
  std::ofstream out(path, std::ios::binary);
  const tgatest::Bytes header = tgatest::headerBytes({0, 0, 2, kLargestSide, kLargestSide, 24, 0});
  out.write(reinterpret_cast<const char*>(header.data()),
            static_cast<std::streamsize>(header.size()));
  std::vector<char> row(static_cast<std::size_t>(kLargestSide) * 3);
  for (int y = 0; y < kLargestSide; ++y) {
    std::memset(row.data(), y & 0xFF, row.size());
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
  return path;
}

struct BenchFiles {
  tgatest::ScratchFolder folder{"tga-reader-bench"};
  LoadCase type2;
  LoadCase type10;
  LoadCase largest;
  LoadCase largestShort;

  BenchFiles() {
    const tgatest::Bytes pixels = desktopPixels();
    const tgatest::Bytes header2 = tgatest::headerBytes({0, 0, 2, kWidth, kHeight, 24, 0});
    const tgatest::Bytes header10 = tgatest::headerBytes({0, 0, 10, kWidth, kHeight, 24, 0});
    type2 = {folder.write("desktop2.tga", tgatest::concat(header2, pixels)), kPixelBytes};
    type10 = {folder.write(
                  "desktop10.tga",
                  tgatest::concat(header10, tgatest::encodeRunLength(pixels, kWidth, kHeight, 3))),
              kPixelBytes};
    largest = {writeLargestFile(folder), kLargestPixelBytes};
    const tgatest::Bytes promise =
        tgatest::headerBytes({0, 0, 10, kLargestSide, kLargestSide, 24, 0});
    largestShort = {
        folder.write("promise10.tga", tgatest::concat(promise, tgatest::Bytes(30, 0xFF))),
        kLargestPixelBytes};
  }
};

void loadWithReader(benchmark::State& state, const LoadCase* file) {
  for (auto _ : state) {
    TgaImage image;
    if (!image.load(file->path.c_str())) {
      state.SkipWithError("reader refused the file");
      break;
    }
    benchmark::DoNotOptimize(image.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file->pixelBytes));
}

void loadWithStb(benchmark::State& state, const LoadCase* file) {
  for (auto _ : state) {
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load(file->path.c_str(), &width, &height, &channels, 0);
    if (pixels == nullptr) {
      state.SkipWithError("stb refused the file");
      break;
    }
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file->pixelBytes));
}

// The floor: the least any reader of the file must do. The file's bytes read into
// memory, then one plain copy of the pixel bytes (those after the header) into a fresh
// block for the picture, as the reader's is. The file's block is allocated once,
// outside the timing: a reader need not have one (it can read in place), and on this
// kind of machine a second multi-megabyte block freed and allocated each time costs
// tens of milliseconds in page faults, which would hide the floor itself.
void readAndCopy(benchmark::State& state, const LoadCase* source) {
  std::vector<std::uint8_t> bytes(kHeaderBytes + source->pixelBytes);
  for (auto _ : state) {
    std::FILE* file = std::fopen(source->path.c_str(), "rb");
    if (file == nullptr) {
      state.SkipWithError("no file");
      break;
    }
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    const std::size_t pixelBytes = got > kHeaderBytes ? got - kHeaderBytes : 0;
    auto* pixels = static_cast<std::uint8_t*>(std::calloc(source->pixelBytes, 1));
    std::memcpy(pixels, bytes.data() + kHeaderBytes, pixelBytes);
    benchmark::DoNotOptimize(pixels);
    benchmark::ClobberMemory();
    std::free(pixels);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source->pixelBytes));
}

// The short file's floor: a zeroed picture of the promised size, written once, which
// any reader that hands out such a picture pays for.
void allocateAndFill(benchmark::State& state, const LoadCase* source) {
  for (auto _ : state) {
    auto* pixels = static_cast<std::uint8_t*>(std::calloc(source->pixelBytes, 1));
    std::memset(pixels, 0xFF, source->pixelBytes);
    benchmark::DoNotOptimize(pixels);
    benchmark::ClobberMemory();
    std::free(pixels);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source->pixelBytes));
}

// One field of /proc/self/status in KiB (VmRSS, VmHWM), or -1.
long statusKib(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) {
      return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    }
  }
  return -1;
}

// How much one load of the file adds to the process's peak resident memory, in bytes:
// the peak is reset first (Linux's clear_refs 5), so it is this load's own. -1 when
// the kernel does not offer the reset.
long long peakResidentGrowth(const LoadCase& file) {
  {
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5";
    if (!reset.flush()) {
      return -1;
    }
  }
  const long before = statusKib("VmRSS");
  {
    TgaImage image;
    if (!image.load(file.path.c_str())) {
      return -1;
    }
  }
  const long peak = statusKib("VmHWM");
  return before < 0 || peak < 0 ? -1 : (peak - before) * 1024LL;
}

void printMemoryLines(const BenchFiles& files) {
  for (const auto& [key, file] :
       {std::pair{"tga_read/largest_memory", &files.largest},
        std::pair{"tga_read/largest_short_memory", &files.largestShort}}) {
    const long long grown = peakResidentGrowth(*file);
    if (grown < 0) {
      continue;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(grown) / (1024.0 * 1024.0));
    sorvanta::bench::printFigure(key, text);
    std::printf("floor ratio %s: %.2f\n", key,
                static_cast<double>(grown) / static_cast<double>(file->pixelBytes));
  }
}

void printLines(const sorvanta::bench::MedianReporter& times) {
  for (const char* type : {"type2", "type10", "largest", "largest_short"}) {
    const std::string name = std::string("load/") + type;
    const double reader = times.seconds(name + "/reader");
    const std::string key = std::string("tga_read/") + type;
    if (reader <= 0.0) {
      continue;  // not run (filtered out)
    }
    sorvanta::bench::printFigure(key, sorvanta::bench::timeFigure(reader));
    sorvanta::bench::printPeerRatio(key, times.seconds(name + "/stb"), reader);
  }
  for (const char* type : {"type2", "type10", "largest", "largest_short"}) {
    const std::string name = std::string("load/") + type;
    sorvanta::bench::printFloorRatio(std::string("tga_read/") + type,
                                     times.seconds(name + "/reader"),
                                     times.seconds(name + "/floor"));
  }
}

}  // namespace

int main(int argc, char** argv) {
  BenchFiles files;
  const std::pair<const char*, const LoadCase*> cases[] = {{"type2", &files.type2},
                                                           {"type10", &files.type10},
                                                           {"largest", &files.largest},
                                                           {"largest_short", &files.largestShort}};
  for (const auto& [type, file] : cases) {
    const std::string name = std::string("load/") + type;
    benchmark::RegisterBenchmark((name + "/reader").c_str(), loadWithReader, file)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((name + "/stb").c_str(), loadWithStb, file)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((name + "/floor").c_str(),
                                 file == &files.largestShort ? allocateAndFill : readAndCopy, file)
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  sorvanta::bench::MedianReporter reporter(printLines);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  printMemoryLines(files);
  return 0;
}
