// OpenGL 1.1 and GLU as both platforms ship them, plus the few names of later
// versions the scene uses. MinGW's GL/gl.h stops at 1.1, so the constants of the
// cube map and of buffer objects are defined here when the system header lacks them.
// On Windows, a file that needs the Win32 header includes it before this header.
#pragma once

#if defined(_WIN32) && !(defined(WINGDIAPI) && defined(APIENTRY))
// Lets MinGW's GL/gl.h compile without pulling in the Win32 header.
#define WINGDIAPI __declspec(dllimport)
#define APIENTRY __stdcall
#ifndef CALLBACK
#define CALLBACK __stdcall
#endif
#endif

#include <GL/gl.h>
#include <GL/glu.h>

#ifndef APIENTRY
#define APIENTRY
#endif

// OpenGL 1.3: cube-map texturing.
#ifndef GL_TEXTURE_CUBE_MAP
#define GL_TEXTURE_CUBE_MAP 0x8513
#define GL_TEXTURE_BINDING_CUBE_MAP 0x8514
#define GL_TEXTURE_CUBE_MAP_POSITIVE_X 0x8515
#endif

// OpenGL 1.5: buffer objects.
#ifndef GL_ARRAY_BUFFER
#define GL_ARRAY_BUFFER 0x8892
#define GL_ELEMENT_ARRAY_BUFFER 0x8893
#define GL_ARRAY_BUFFER_BINDING 0x8894
#define GL_ELEMENT_ARRAY_BUFFER_BINDING 0x8895
#define GL_STATIC_DRAW 0x88E4
#endif
