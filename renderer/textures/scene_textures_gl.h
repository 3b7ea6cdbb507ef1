// OpenGL 1.1 and GLU as both platforms ship them, plus the cube-map names of OpenGL
// 1.3 that MinGW's GL/gl.h lacks.
#pragma once

#if defined(_WIN32) && !(defined(WINGDIAPI) && defined(APIENTRY))
// Lets MinGW's GL/gl.h compile without pulling in <windows.h>.
#define WINGDIAPI __declspec(dllimport)
#define APIENTRY __stdcall
#ifndef CALLBACK
#define CALLBACK __stdcall
#endif
#endif

#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_TEXTURE_CUBE_MAP
#define GL_TEXTURE_CUBE_MAP 0x8513
#define GL_TEXTURE_BINDING_CUBE_MAP 0x8514
#define GL_TEXTURE_CUBE_MAP_POSITIVE_X 0x8515
#endif
