// Entry-point look-up of the native build, which draws through Mesa's off-screen
// renderer (the render tests and the frame benchmark).
#include <GL/osmesa.h>

#include "gl_loader.h"

namespace sorvanta::gl {

void* lookupEntryPoint(const char* name) {
  return reinterpret_cast<void*>(OSMesaGetProcAddress(name));
}

}  // namespace sorvanta::gl
