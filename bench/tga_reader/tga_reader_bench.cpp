// The exchange-image reader against stb_image's TGA decoder, on the same desktop-sized
// files (1024 x 768, 24 bits, uncompressed and run-length encoded). Both read the file
// from disk (the page cache, after the first run) and return red-green-blue pixels.
#include <benchmark/benchmark.h>
#include <stb_image.h>

#include <cstdio>
#include <map>
#include <string>

#include "tga_image.h"
#include "tga_test_files.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

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

// Prints, after the usual table, how much longer stb takes than the reader per file.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      // The median of repetitions when there are some, else the single run.
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if ((run.run_type == Run::RT_Iteration || median) && !run.error_occurred) {
        times_[run.run_name.str()] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const char* type : {"type2", "type10"}) {
      const std::string reader = std::string("load/") + type + "/reader";
      const std::string stb = std::string("load/") + type + "/stb";
      if (times_.count(reader) != 0 && times_.count(stb) != 0 && times_[reader] > 0) {
        std::printf("%-7s stb / reader time ratio: %.2f\n", type, times_[stb] / times_[reader]);
      }
    }
  }

 private:
  std::map<std::string, double> times_;
};

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
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
