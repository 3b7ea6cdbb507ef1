// Windows frame benchmark, run under Wine on a 1024 x 768 screen: a borderless window
// with the renderer's pixel format, and drawScene timed for each way of drawing the
// ball mesh, in alternating rounds so that every path sees the same conditions.
//
//   frame_bench.exe [frames per round] [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "gl_api.h"
#include "gl_window_win32.h"
#include "mesh_paths.h"
#include "scene_app.h"

namespace {

using sorvanta::bench::kMeshPaths;
using sorvanta::bench::kPathCount;
using sorvanta::bench::MeshPathChoice;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

LRESULT CALLBACK benchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

double seconds(LARGE_INTEGER start, LARGE_INTEGER end, LARGE_INTEGER frequency) {
  return static_cast<double>(end.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// Frames per second of one round of drawScene + glFinish.
double timeRound(sorvanta::SceneApp& app, HDC dc, int frames) {
  LARGE_INTEGER frequency;
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int frame = 0; frame < frames; ++frame) {
    app.update(sorvanta::bench::kFrameStepSeconds);
    app.incrementViewAngle();
    app.drawScene();
    glFinish();
  }
  QueryPerformanceCounter(&end);
  SwapBuffers(dc);
  return frames / seconds(start, end, frequency);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  sorvanta::bench::GlWindow gl;
  if (!sorvanta::bench::openGlWindow("SorvantaFrameBench", "Sorvanta frame bench", benchWindowProc,
                                     kWidth, kHeight, gl)) {
    std::fprintf(stderr, "frame_bench: no OpenGL context\n");
    return 1;
  }
  std::printf("GL_VERSION %s\nGL_RENDERER %s\n",
              reinterpret_cast<const char*>(glGetString(GL_VERSION)),
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  std::unique_ptr<sorvanta::SceneApp> apps[kPathCount];
  for (std::size_t p = 0; p < kPathCount; ++p) {
    apps[p] = std::make_unique<sorvanta::SceneApp>();
    if (!apps[p]->initScene()) {
      std::fprintf(stderr, "frame_bench: initScene failed\n");
      return 1;
    }
    apps[p]->resize(kWidth, kHeight);
    apps[p]->setMeshPaths(kMeshPaths[p].vertexArrays, kMeshPaths[p].bufferObjects);
    apps[p]->showBalls = kMeshPaths[p].balls;
    timeRound(*apps[p], gl.dc, 5);  // warm-up
  }
  std::vector<double> fps[kPathCount];
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t p = 0; p < kPathCount; ++p) {
      fps[p].push_back(timeRound(*apps[p], gl.dc, frames));
    }
  }
  for (auto& app : apps) {
    app->releaseScene();
  }
  const double reference = median(fps[0]);
  double seconds[kPathCount];
  for (std::size_t p = 0; p < kPathCount; ++p) {
    const double value = median(fps[p]);
    seconds[p] = 1.0 / value;
    std::printf("%-18s %8.1f frames/s (median of %d rounds of %d)  x%.2f\n", kMeshPaths[p].name,
                value, rounds, frames, value / reference);
  }
  sorvanta::bench::printFrameLines("frame_wine", seconds);
  return 0;
}
