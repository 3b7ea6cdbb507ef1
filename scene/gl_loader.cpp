#include "gl_loader.h"

#include <cctype>

namespace sorvanta::gl {
namespace {

// Stand-ins for an implementation without buffer objects: they touch no GL state,
// and "generated" names are 0, the name that means "no buffer".
void APIENTRY genBuffersMissing(GLsizei count, GLuint* names) {
  for (GLsizei i = 0; names != nullptr && i < count; ++i) {
    names[i] = 0;
  }
}
void APIENTRY bindBufferMissing(GLenum, GLuint) {}
void APIENTRY bufferDataMissing(GLenum, GLsizeiptrValue, const void*, GLenum) {}
void APIENTRY bufferSubDataMissing(GLenum, GLintptrValue, GLsizeiptrValue, const void*) {}
void APIENTRY deleteBuffersMissing(GLsizei, const GLuint*) {}

constexpr BufferEntryPoints kMissingEntryPoints = {genBuffersMissing, bindBufferMissing,
                                                   bufferDataMissing, bufferSubDataMissing,
                                                   deleteBuffersMissing};

// What the loader learnt from the current context: process-wide, like the GL's own
// entry points, and rewritten by every initialise().
struct LoaderState {
  BufferEntryPoints entryPoints = kMissingEntryPoints;
  bool atLeast15 = false;
};

LoaderState& loaderState() {
  static LoaderState state;
  return state;
}

template <typename Function>
void resolve(Function& slot, const char* name, Function missing) {
  void* address = lookupEntryPoint(name);
  slot = address != nullptr ? reinterpret_cast<Function>(address) : missing;
}

bool readNumber(const char*& text, int& value) {
  if (!std::isdigit(static_cast<unsigned char>(*text))) {
    return false;
  }
  value = 0;
  while (std::isdigit(static_cast<unsigned char>(*text))) {
    if (value > 100000) {
      return false;
    }
    value = value * 10 + (*text - '0');
    ++text;
  }
  return true;
}

}  // namespace

bool parseVersion(const char* text, GlVersion& version) {
  if (text == nullptr) {
    return false;
  }
  GlVersion parsed;
  if (!readNumber(text, parsed.major) || *text != '.') {
    return false;
  }
  ++text;
  if (!readNumber(text, parsed.minor)) {
    return false;
  }
  version = parsed;
  return true;
}

bool isAtLeast15(const GlVersion& version) {
  return version.major > 1 || (version.major == 1 && version.minor >= 5);
}

bool initialise() {
  LoaderState& state = loaderState();
  state = LoaderState{};
  const auto* versionText = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  GlVersion version;
  if (!parseVersion(versionText, version)) {
    return false;
  }
  state.atLeast15 = isAtLeast15(version);
  if (state.atLeast15) {
    const BufferEntryPoints& missing = kMissingEntryPoints;
    resolve(state.entryPoints.genBuffers, "glGenBuffers", missing.genBuffers);
    resolve(state.entryPoints.bindBuffer, "glBindBuffer", missing.bindBuffer);
    resolve(state.entryPoints.bufferData, "glBufferData", missing.bufferData);
    resolve(state.entryPoints.bufferSubData, "glBufferSubData", missing.bufferSubData);
    resolve(state.entryPoints.deleteBuffers, "glDeleteBuffers", missing.deleteBuffers);
  }
  return true;
}

bool versionAtLeast15() {
  return loaderState().atLeast15;
}

const BufferEntryPoints& bufferEntryPoints() {
  return loaderState().entryPoints;
}

}  // namespace sorvanta::gl
