#include "swap_interval_win32.h"

#include <windows.h>

#include <GL/gl.h>

#include <cstring>

#include "gl_loader.h"

namespace sorvanta {

namespace {

using ExtensionsStringProc = const char*(WINAPI*)();
using SwapIntervalProc = BOOL(WINAPI*)(int interval);

constexpr char kSwapControl[] = "WGL_EXT_swap_control";

// A whole name in a blank-separated list (not a name it begins, such as "..._tear").
bool listsName(const char* names, const char* name) {
  const std::size_t length = std::strlen(name);
  for (const char* at = names; (at = std::strstr(at, name)) != nullptr; at += length) {
    const bool starts = at == names || at[-1] == ' ';
    if (starts && (at[length] == ' ' || at[length] == '\0')) {
      return true;
    }
  }
  return false;
}

// The WGL extensions, or the GL list that older drivers name them in.
bool offersSwapControl() {
  const auto wglExtensions =
      reinterpret_cast<ExtensionsStringProc>(gl::lookupEntryPoint("wglGetExtensionsStringEXT"));
  const char* names = wglExtensions != nullptr ? wglExtensions() : nullptr;
  if (names != nullptr && listsName(names, kSwapControl)) {
    return true;
  }
  const auto* glNames = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  return glNames != nullptr && listsName(glNames, kSwapControl);
}

}  // namespace

bool askForOneFramePerRefresh() {
  if (!offersSwapControl()) {
    return false;
  }
  const auto swapInterval =
      reinterpret_cast<SwapIntervalProc>(gl::lookupEntryPoint("wglSwapIntervalEXT"));
  return swapInterval != nullptr && swapInterval(1) != FALSE;
}

}  // namespace sorvanta
