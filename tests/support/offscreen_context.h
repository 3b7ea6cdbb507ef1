// An off-screen OpenGL context of Mesa (OSMesa): RGBA colour, 24 depth and 8 stencil
// bits, drawing into memory the caller can read back. Native builds only.
#pragma once

#include <cstdint>
#include <vector>

namespace sorvanta {

class OffscreenContext {
 public:
  OffscreenContext(int width, int height);
  OffscreenContext(const OffscreenContext&) = delete;
  OffscreenContext& operator=(const OffscreenContext&) = delete;
  ~OffscreenContext();

  // False when Mesa could not create the context or make it current.
  bool ready() const { return ready_; }
  int width() const { return width_; }
  int height() const { return height_; }
  int stencilBits() const;

  // Finishes drawing and returns the pixels, RGBA, bottom row first.
  const std::vector<std::uint8_t>& pixels();

  // Leaves no context current (as on a thread that never made one).
  static void releaseCurrent();

 private:
  int width_;
  int height_;
  void* context_ = nullptr;
  std::vector<std::uint8_t> buffer_;
  bool ready_ = false;
};

}  // namespace sorvanta
