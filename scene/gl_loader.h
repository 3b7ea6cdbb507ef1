// The renderer's small OpenGL extension loader. It does three things: its
// initialisation fails when no implementation can be queried (no context current);
// it reports whether the implementation is OpenGL 1.5 or later; and it provides the
// buffer-object entry points, which do nothing (and name no buffer) when the
// implementation lacks them.
//
// The entry points are reached under their core names (glGenBuffers, ...), as with
// any loader; they are valid after a successful sorvanta::gl::initialise().
#pragma once

#include <cstddef>

#include "gl_api.h"

namespace sorvanta::gl {

using GLsizeiptrValue = std::ptrdiff_t;
using GLintptrValue = std::ptrdiff_t;

struct BufferEntryPoints {
  void(APIENTRY* genBuffers)(GLsizei count, GLuint* names);
  void(APIENTRY* bindBuffer)(GLenum target, GLuint name);
  void(APIENTRY* bufferData)(GLenum target, GLsizeiptrValue size, const void* data, GLenum usage);
  void(APIENTRY* bufferSubData)(GLenum target, GLintptrValue offset, GLsizeiptrValue size,
                                const void* data);
  void(APIENTRY* deleteBuffers)(GLsizei count, const GLuint* names);
};

// A GL version number as "major.minor[.release][ vendor text]".
struct GlVersion {
  int major = 0;
  int minor = 0;
};

// Reads the leading "major.minor" of a GL_VERSION string; false when there is none.
bool parseVersion(const char* text, GlVersion& version);

// True for OpenGL 1.5 and every later version.
bool isAtLeast15(const GlVersion& version);

// Queries the current context's version and resolves the entry points. False when no
// implementation answers (no context current); the entry points are then the
// harmless stand-ins.
bool initialise();

// True when the context seen by the last successful initialise() is 1.5 or later.
bool versionAtLeast15();

// The buffer-object entry points in use (real ones, or stand-ins that do nothing).
const BufferEntryPoints& bufferEntryPoints();

// The binding's way to look up an entry point of the current context: wglGetProcAddress
// (renderer/), glXGetProcAddressARB (hack/) or OSMesaGetProcAddress (tests/support/).
// Null when there is none.
void* lookupEntryPoint(const char* name);

}  // namespace sorvanta::gl

#define glGenBuffers (sorvanta::gl::bufferEntryPoints().genBuffers)
#define glBindBuffer (sorvanta::gl::bufferEntryPoints().bindBuffer)
#define glBufferData (sorvanta::gl::bufferEntryPoints().bufferData)
#define glBufferSubData (sorvanta::gl::bufferEntryPoints().bufferSubData)
#define glDeleteBuffers (sorvanta::gl::bufferEntryPoints().deleteBuffers)
