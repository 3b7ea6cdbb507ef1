// SaveTGA against stb_image_write's TGA writer on the same desktop-like pictures:
//   File/...    a whole file written (ours: read-back copy, padding-free copy, private
//               copy, encode, write; stb's: its row flip and channel swap, encode, write)
//   Memory/...  the pixels turned into file bytes in memory only
// Pictures: 1024 x 768 and 1920 x 1080; content "desktop" (flat areas, gradients,
// text-like stripes, a noisy photo) and "noise" (the encoder's worst case).
#include <benchmark/benchmark.h>
#include <stb_image_write.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "bench_lines.h"
#include "median_reporter.h"
#include "saver/capture/exchange_files_port_stdio.h"
#include "saver/capture/picture_source.h"
#include "saver/capture/save_tga.h"
#include "saver/capture/tga_pixels.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint8_t hashByte(unsigned x, unsigned y, unsigned salt) {
  unsigned h = x * 73856093u ^ y * 19349663u ^ salt * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  return static_cast<std::uint8_t>(h >> 15);
}

// RGB of pixel (x, y), y from the top.
void desktopPixel(int x, int y, int width, int height, std::uint8_t rgb[3]) {
  if (x > width / 2 && y > height / 3 && y < height * 2 / 3) {  // a photo
    rgb[0] = hashByte(x, y, 1);
    rgb[1] = hashByte(x, y, 2);
    rgb[2] = hashByte(x, y, 3);
  } else if (y > height - 40) {  // a task bar with text
    const bool ink = (x / 3 + y) % 7 == 0 && (x / 60) % 2 == 0;
    rgb[0] = rgb[1] = rgb[2] = ink ? 0 : 200;
  } else if (x < 200) {  // icons
    const bool icon = (x % 80 < 48) && (y % 90 < 48);
    rgb[0] = icon ? hashByte(x / 4, y / 4, 4) : 0;
    rgb[1] = icon ? hashByte(x / 4, y / 4, 5) : 80;
    rgb[2] = icon ? hashByte(x / 4, y / 4, 6) : 128;
  } else {  // wallpaper gradient
    rgb[0] = static_cast<std::uint8_t>(y * 255 / height);
    rgb[1] = 80;
    rgb[2] = 128;
  }
}

struct Picture {
  int width, height;
  Bytes rgbTopDown;      // stb's input
  Bytes bitmapBottomUp;  // what GetDIBits gives: B G R, rows padded, bottom row first
};

Picture makePicture(int width, int height, bool noise) {
  Picture p{width, height, Bytes(static_cast<std::size_t>(width) * height * 3),
            Bytes(sorvanta::capture::bitmapStride(width) * height)};
  const std::size_t stride = sorvanta::capture::bitmapStride(width);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t rgb[3];
      if (noise) {
        rgb[0] = hashByte(x, y, 7);
        rgb[1] = hashByte(x, y, 8);
        rgb[2] = hashByte(x, y, 9);
      } else {
        desktopPixel(x, y, width, height, rgb);
      }
      std::memcpy(&p.rgbTopDown[(static_cast<std::size_t>(y) * width + x) * 3], rgb, 3);
      std::uint8_t* bgr = &p.bitmapBottomUp[(height - 1 - y) * stride + x * 3];
      bgr[0] = rgb[2];
      bgr[1] = rgb[1];
      bgr[2] = rgb[0];
    }
  }
  return p;
}

const Picture& picture(int width, bool noise) {
  static const Picture small = makePicture(1024, 768, false);
  static const Picture large = makePicture(1920, 1080, false);
  static const Picture smallNoise = makePicture(1024, 768, true);
  static const Picture largeNoise = makePicture(1920, 1080, true);
  if (noise) {
    return width == 1024 ? smallNoise : largeNoise;
  }
  return width == 1024 ? small : large;
}

// The picture as the off-screen copy gives it back: one block per read.
class BitmapPicture final : public sorvanta::capture::PictureSource {
 public:
  explicit BitmapPicture(const Picture& p) : p_(p) {}
  int widthInPixels() const override { return p_.width; }
  int heightInPixels() const override { return p_.height; }
  void readBits(std::uint8_t* bitmap, std::size_t, int, int) override {
    std::memcpy(bitmap, p_.bitmapBottomUp.data(), p_.bitmapBottomUp.size());
  }

 private:
  const Picture& p_;
};

std::string outputPath(const char* who) {
  const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(folder) + "/tga_writer_bench_" + std::to_string(getpid()) + "_" + who + ".tga";
}

void setLabel(benchmark::State& state, const Picture& p) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * p.width * p.height * 3);
}

// Arguments: width (1024 or 1920), compress (0/1), noise (0/1).
void File_SaveTGA(benchmark::State& state) {
  const Picture& p = picture(static_cast<int>(state.range(0)), state.range(2) != 0);
  BitmapPicture source(p);
  sorvanta::capture::ExchangeFilesPortStdio files;
  sorvanta::capture::SaveTGA saver(files);
  const std::string path = outputPath("ours");
  for (auto _ : state) {
    const sorvanta::capture::SaveTgaStatus status =
        saver.SaveTGAinFile(path, source, state.range(1) != 0);
    if (status != sorvanta::capture::SaveTgaStatus::kSaved) {
      state.SkipWithError(sorvanta::capture::statusName(status));
      break;
    }
  }
  setLabel(state, p);
  std::remove(path.c_str());
}

void File_Stb(benchmark::State& state) {
  const Picture& p = picture(static_cast<int>(state.range(0)), state.range(2) != 0);
  const std::string path = outputPath("stb");
  stbi_write_tga_with_rle = state.range(1) != 0 ? 1 : 0;
  for (auto _ : state) {
    if (stbi_write_tga(path.c_str(), p.width, p.height, 3, p.rgbTopDown.data()) == 0) {
      state.SkipWithError("stbi_write_tga failed");
      break;
    }
  }
  setLabel(state, p);
  std::remove(path.c_str());
}

// The size of the file SaveTGA writes for the picture, written once up front.
std::size_t savedFileSize(const Picture& p, bool compress) {
  BitmapPicture source(p);
  sorvanta::capture::ExchangeFilesPortStdio files;
  sorvanta::capture::SaveTGA saver(files);
  const std::string path = outputPath("size");
  struct stat info {};
  const bool saved =
      saver.SaveTGAinFile(path, source, compress) == sorvanta::capture::SaveTgaStatus::kSaved;
  const bool sized = saved && stat(path.c_str(), &info) == 0;
  std::remove(path.c_str());
  return sized ? static_cast<std::size_t>(info.st_size) : 0;
}

void File_Floor(benchmark::State& state) {
  const Picture& p = picture(static_cast<int>(state.range(0)), state.range(2) != 0);
  const std::size_t fileSize = savedFileSize(p, state.range(1) != 0);
  const std::string path = outputPath("floor");
  if (fileSize == 0) {
    state.SkipWithError("SaveTGA wrote no file to size the floor by");
    return;
  }
  const std::size_t pixelBytes = p.bitmapBottomUp.size();
  for (auto _ : state) {
    // A fresh block each time, as a writer that saves once gets (its pages are touched
    // by the copy).
    auto* buffer = static_cast<std::uint8_t*>(std::malloc(std::max(fileSize, pixelBytes)));
    std::memcpy(buffer, p.bitmapBottomUp.data(), pixelBytes);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool written = fd >= 0 && write(fd, buffer, fileSize) == static_cast<ssize_t>(fileSize);
    if (fd >= 0) {
      close(fd);
    }
    std::free(buffer);
    if (!written) {
      state.SkipWithError("floor write failed");
      break;
    }
  }
  setLabel(state, p);
  std::remove(path.c_str());
}

// In memory: ours is the padding-free copy then (type 10) the encoder.
void Memory_Ours(benchmark::State& state) {
  const Picture& p = picture(static_cast<int>(state.range(0)), state.range(2) != 0);
  const std::size_t pixelCount = static_cast<std::size_t>(p.width) * p.height;
  Bytes pixels(pixelCount * 3);
  Bytes packets(sorvanta::capture::runLengthCapacity(pixelCount));
  for (auto _ : state) {
    sorvanta::capture::copyRowsWithoutPadding(p.bitmapBottomUp.data(),
                                              sorvanta::capture::bitmapStride(p.width), p.width,
                                              p.height, pixels.data());
    if (state.range(1) != 0) {
      benchmark::DoNotOptimize(
          sorvanta::capture::encodeRunLength(pixels.data(), pixelCount, p.width, packets.data()));
    }
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
  }
  setLabel(state, p);
}

void appendTo(void* context, void* data, int size) {
  auto* out = static_cast<Bytes*>(context);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

void Memory_Stb(benchmark::State& state) {
  const Picture& p = picture(static_cast<int>(state.range(0)), state.range(2) != 0);
  stbi_write_tga_with_rle = state.range(1) != 0 ? 1 : 0;
  Bytes out;
  out.reserve(static_cast<std::size_t>(p.width) * p.height * 4 + 64);
  for (auto _ : state) {
    out.clear();
    stbi_write_tga_to_func(appendTo, &out, p.width, p.height, 3, p.rgbTopDown.data());
    benchmark::DoNotOptimize(out.data());
  }
  setLabel(state, p);
}

void sizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"width", "rle", "noise"});
  for (int noise : {0, 1}) {
    for (int rle : {0, 1}) {
      for (int width : {1024, 1920}) {
        if (noise == 1 && rle == 0) {
          continue;  // the uncompressed path does not look at the pixels
        }
        b->Args({width, rle, noise});
      }
    }
  }
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(File_SaveTGA)->Apply(sizes);
BENCHMARK(File_Stb)->Apply(sizes);
BENCHMARK(File_Floor)->Apply(sizes);
BENCHMARK(Memory_Ours)->Apply(sizes);
BENCHMARK(Memory_Stb)->Apply(sizes);

// One set of lines per whole-file case, named by the file type SaveTGA writes.
void printLines(const sorvanta::bench::MedianReporter& times) {
  std::vector<std::pair<std::string, std::string>> cases;  // key, benchmark arguments
  for (int rle : {0, 1}) {
    for (int noise : {0, 1}) {
      for (int width : {1024, 1920}) {
        if (noise == 1 && rle == 0) {
          continue;
        }
        const std::string args = "/width:" + std::to_string(width) + "/rle:" + std::to_string(rle) +
                                 "/noise:" + std::to_string(noise);
        const std::string key = std::string("tga_write/") + (rle != 0 ? "type10_" : "type2_") +
                                (width == 1024 ? "1024x768" : "1920x1080") +
                                (noise != 0 ? "_noise" : "");
        cases.emplace_back(key, args);
      }
    }
  }
  for (const auto& [key, args] : cases) {
    const double ours = times.seconds("File_SaveTGA" + args);
    if (ours <= 0.0) {
      continue;  // not run (filtered out)
    }
    sorvanta::bench::printFigure(key, sorvanta::bench::timeFigure(ours));
    sorvanta::bench::printPeerRatio(key, times.seconds("File_Stb" + args), ours);
  }
  for (const auto& [key, args] : cases) {
    sorvanta::bench::printFloorRatio(key, times.seconds("File_SaveTGA" + args),
                                     times.seconds("File_Floor" + args));
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  sorvanta::bench::MedianReporter reporter(printLines);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
