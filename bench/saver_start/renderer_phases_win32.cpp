// The renderer's own start, phase by phase, inside one process under Wine: the window
// and its context, the scene's set-up (the cube map, the floor's mipmaps that GLU
// makes from the screen-sized desktop picture, the balls and their buffers), the first
// frame, and a frame once every GL state has been used. It shows how much of the
// start is work the trivial floor program never does. One run per process, since the
// first frame's extra cost is the first use of each GL state in a process.
//   renderer_phases.exe      (the two exchange files must exist)
#include <windows.h>

#include <cstdio>

#include "clock_win32.h"
#include "gl_api.h"
#include "gl_window_win32.h"
#include "scene_app.h"
#include "scene_textures.h"

namespace {

using sorvanta::bench::nowMs;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kLaterFrame = 10;

LRESULT CALLBACK phasesWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// One frame as the renderer's loop makes it, finished and shown.
double frameMs(sorvanta::SceneApp& app, HDC dc) {
  const double start = nowMs();
  app.drawScene();
  glFinish();
  SwapBuffers(dc);
  return nowMs() - start;
}

}  // namespace

int main() {
  double start = nowMs();
  sorvanta::bench::GlWindow gl;
  if (!sorvanta::bench::openGlWindow("SorvantaRendererPhases", "Sorvanta phases", phasesWindowProc,
                                     kWidth, kHeight, gl)) {
    std::fprintf(stderr, "renderer_phases: no OpenGL context\n");
    return 1;
  }
  std::printf("phase window and context: %.1f ms\n", nowMs() - start);
  sorvanta::SceneApp app;
  start = nowMs();
  if (!app.initScene()) {
    std::fprintf(stderr, "renderer_phases: initScene failed\n");
    return 1;
  }
  std::printf("phase scene set-up: %.1f ms\n", nowMs() - start);
  app.resize(kWidth, kHeight);
  std::printf("phase first frame: %.1f ms\n", frameMs(app, gl.dc));
  for (int frame = 1; frame < kLaterFrame; ++frame) {
    frameMs(app, gl.dc);
  }
  std::printf("phase later frame: %.1f ms\n", frameMs(app, gl.dc));
  // The two textures once more, now that GLU and the GL have been used: their work
  // within the set-up.
  const sorvanta::SceneApp::ImagePaths paths = sorvanta::SceneApp::exchangeImagePaths();
  unsigned envTexture = 0;
  unsigned floorTexture = 0;
  start = nowMs();
  sorvanta::textures::createSceneTextures(paths.stone.c_str(), paths.desktop.c_str(), envTexture,
                                          floorTexture);
  std::printf("phase of the set-up, the two textures: %.1f ms\n", nowMs() - start);
  glDeleteTextures(1, &envTexture);
  glDeleteTextures(1, &floorTexture);
  app.releaseScene();
  sorvanta::bench::closeGlContext(gl);
  return 0;
}
