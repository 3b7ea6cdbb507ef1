#include "offscreen_context.h"

#include <GL/osmesa.h>

namespace sorvanta {

OffscreenContext::OffscreenContext(int width, int height)
    : width_(width),
      height_(height),
      buffer_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u) {
  OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
  context_ = context;
  if (context == nullptr) {
    return;
  }
  ready_ = OSMesaMakeCurrent(context, buffer_.data(), GL_UNSIGNED_BYTE, width, height) != 0;
}

OffscreenContext::~OffscreenContext() {
  if (context_ != nullptr) {
    OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
  }
}

int OffscreenContext::stencilBits() const {
  GLint bits = 0;
  glGetIntegerv(GL_STENCIL_BITS, &bits);
  return bits;
}

const std::vector<std::uint8_t>& OffscreenContext::pixels() {
  glFinish();
  return buffer_;
}

void OffscreenContext::releaseCurrent() {
  OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
}

}  // namespace sorvanta
