// FrameTimer: the frame loop's clock. It reads a 32-bit millisecond tick counter
// (timeGetTime on Windows) and yields the seconds since its previous reading.
#pragma once

#include <cstdint>

namespace sorvanta {

class FrameTimer {
 public:
  using TickSource = std::uint32_t (*)();

  explicit FrameTimer(TickSource tickSource) : tickSource_(tickSource) {}

  void start() { lastTick = tickSource_(); }

  // Seconds since the previous call (or since start). The difference is taken in
  // unsigned 32 bits, so the counter's wrap after about 49.7 days still gives the
  // right small step.
  float elapsedSeconds() {
    const std::uint32_t now = tickSource_();
    const std::uint32_t milliseconds = now - lastTick;
    lastTick = now;
    return static_cast<float>(static_cast<double>(milliseconds) / 1000.0);
  }

  std::uint32_t lastTick = 0;

 private:
  TickSource tickSource_;
};

}  // namespace sorvanta
