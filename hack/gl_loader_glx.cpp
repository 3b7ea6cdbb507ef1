// Entry-point look-up of the XScreenSaver hack, which draws through the system's GLX.
#include <GL/glx.h>

#include "gl_loader.h"

namespace sorvanta::gl {

void* lookupEntryPoint(const char* name) {
  return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace sorvanta::gl
