// Texture creation from a 1024 x 768 desktop file and the 256 x 256 stone file, on
// Mesa's off-screen GL: the reader alone, createSceneTextures (GLU scales the desktop to
// 1024 x 1024 and builds the mipmaps in software), and as the peer the same desktop
// uploaded at its own size with the GL generating the mipmaps (GL_GENERATE_MIPMAP).
// Reading alone is the floor of the whole creation.
#include <GL/osmesa.h>
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_lines.h"
#include "median_reporter.h"
#include "scene_textures.h"
#include "scene/gl_api.h"
#include "tga_image.h"
#include "tga_test_files.h"

#ifndef GL_GENERATE_MIPMAP
#define GL_GENERATE_MIPMAP 0x8191
#endif

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Files {
  tgatest::ScratchFolder folder{"scene-textures-bench"};
  std::string desktop;
  std::string stone;

  Files() {
    tgatest::Bytes desktopPixels;
    for (int i = 0; i < kWidth * kHeight; ++i) {
      desktopPixels.insert(desktopPixels.end(),
                           {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8),
                            static_cast<std::uint8_t>(i >> 13)});
    }
    desktop = folder.write(
        "desktop.tga",
        tgatest::concat(tgatest::headerBytes({0, 0, 2, kWidth, kHeight, 24, 0}), desktopPixels));
    stone =
        folder.write("stone.tga", tgatest::concat(tgatest::headerBytes({0, 0, 2, 256, 256, 24, 0}),
                                                  tgatest::Bytes(256 * 256 * 3, 128)));
  }
};

class OffscreenContext {
 public:
  OffscreenContext() : pixels_(16 * 16 * 4) {
    context_ = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    if (context_ != nullptr) {
      OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, 16, 16);
    }
  }
  ~OffscreenContext() {
    if (context_ != nullptr) {
      OSMesaDestroyContext(context_);
    }
  }
  bool ready() const { return context_ != nullptr; }

 private:
  OSMesaContext context_ = nullptr;
  std::vector<std::uint8_t> pixels_;
};

void readOnly(benchmark::State& state, const Files* files) {
  for (auto _ : state) {
    TgaImage image;
    benchmark::DoNotOptimize(image.load(files->stone.c_str()));
    image.freeData();
    benchmark::DoNotOptimize(image.load(files->desktop.c_str()));
  }
}

void createWithGlu(benchmark::State& state, const Files* files) {
  OffscreenContext context;
  if (!context.ready()) {
    state.SkipWithError("no OSMesa context");
    return;
  }
  for (auto _ : state) {
    unsigned textures[2] = {0, 0};
    sorvanta::textures::createSceneTextures(files->stone.c_str(), files->desktop.c_str(),
                                            textures[0], textures[1]);
    glFinish();
    glDeleteTextures(2, textures);
  }
}

void createWithGlMipmaps(benchmark::State& state, const Files* files) {
  OffscreenContext context;
  if (!context.ready()) {
    state.SkipWithError("no OSMesa context");
    return;
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (auto _ : state) {
    TgaImage image;
    image.load(files->desktop.c_str());
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, image.width(), image.height(), 0, GL_RGB,
                 GL_UNSIGNED_BYTE, image.data());
    glFinish();
    glDeleteTextures(1, &texture);
  }
}

// The figure and peer ratio of the whole creation; its floor is reading the two files.
void printLines(const sorvanta::bench::MedianReporter& times) {
  const double created = times.seconds("textures/createSceneTextures_glu");
  sorvanta::bench::printFigure("scene_textures/create", sorvanta::bench::timeFigure(created));
  sorvanta::bench::printPeerRatio("scene_textures/create",
                                  times.seconds("textures/floor_gl_generate_mipmap"), created);
  sorvanta::bench::printFloorRatio("scene_textures/create", created,
                                   times.seconds("textures/read_only"));
}

}  // namespace

int main(int argc, char** argv) {
  Files files;
  benchmark::RegisterBenchmark("textures/read_only", readOnly, &files)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("textures/createSceneTextures_glu", createWithGlu, &files)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("textures/floor_gl_generate_mipmap", createWithGlMipmaps, &files)
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  sorvanta::bench::MedianReporter reporter(printLines);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
