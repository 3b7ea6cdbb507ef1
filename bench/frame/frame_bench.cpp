// Native frame benchmark: one full drawScene (and glFinish) per iteration on Mesa's
// off-screen renderer, for each way of drawing the ball mesh.
#include <benchmark/benchmark.h>

#include "median_reporter.h"
#include "mesh_paths.h"
#include "offscreen_context.h"
#include "scene_app.h"

namespace sorvanta::bench {
namespace {

void drawFrames(benchmark::State& state, const MeshPathChoice& path) {
  OffscreenContext context(1024, 768);
  SceneApp app;
  if (!context.ready() || !app.initScene()) {
    state.SkipWithError("no off-screen GL context");
    return;
  }
  app.resize(1024, 768);
  app.setMeshPaths(path.vertexArrays, path.bufferObjects);
  app.showBalls = path.balls;
  for (auto _ : state) {
    app.update(kFrameStepSeconds);
    app.incrementViewAngle();
    app.drawScene();
    benchmark::DoNotOptimize(context.pixels().data());
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  app.releaseScene();
}

void registerPaths() {
  for (const MeshPathChoice& path : kMeshPaths) {
    benchmark::RegisterBenchmark((std::string("drawScene/") + path.name).c_str(),
                                 [&path](benchmark::State& state) { drawFrames(state, path); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(3.0);
  }
}

void printLines(const sorvanta::bench::MedianReporter& times) {
  double seconds[kPathCount];
  for (std::size_t p = 0; p < kPathCount; ++p) {
    seconds[p] = times.seconds(std::string("drawScene/") + kMeshPaths[p].name);
  }
  printFrameLines("frame_native", seconds);
}

}  // namespace
}  // namespace sorvanta::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  sorvanta::bench::registerPaths();
  sorvanta::bench::MedianReporter reporter(sorvanta::bench::printLines);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
