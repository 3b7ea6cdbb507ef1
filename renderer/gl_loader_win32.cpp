#include <windows.h>

#include <cstdint>

#include "gl_loader.h"

namespace sorvanta::gl {

void* lookupEntryPoint(const char* name) {
  PROC address = wglGetProcAddress(name);
  // Some drivers answer a failed look-up with a small number instead of null.
  const auto value = reinterpret_cast<std::intptr_t>(address);
  if (value == 0 || value == 1 || value == 2 || value == 3 || value == -1) {
    return nullptr;
  }
  return reinterpret_cast<void*>(address);
}

}  // namespace sorvanta::gl
