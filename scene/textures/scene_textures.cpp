#include "scene_textures.h"

#include "scene/gl_api.h"
#include "tga_image.h"

static_assert(kTgaGlUnsignedByte == GL_UNSIGNED_BYTE);
static_assert(kTgaGlRgb == GL_RGB);
static_assert(kTgaGlRgba == GL_RGBA);

namespace sorvanta::textures {

namespace {

// Components for gluBuild2DMipmaps and internal format for glTexImage2D: the pixels
// keep their own layout, so a 32-bit picture is not read as 3-byte pixels.
GLint internalFormatOf(const TgaImage& image) {
  return image.format() == GL_RGBA ? GL_RGBA : GL_RGB;
}

void createCubeMap(const char* path, TgaImage& image, GLuint& texture) {
  const bool loaded = image.load(path);
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_CUBE_MAP, texture);
  glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  if (loaded) {
    // The same picture on +x, -x, +y, -y, +z and -z.
    for (GLenum face = 0; face < 6; ++face) {
      glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, internalFormatOf(image), image.width(),
                   image.height(), 0, image.format(), image.dataType(), image.data());
    }
  }
  image.freeData();
}

// Binds the floor texture and gives it the picture when it loads. No parameters: the
// defaults (mipmapped minification, repeat wrapping) are what the tiled floor needs.
// GLU scales a picture that is not a power of two.
bool fillFloorTexture(const char* path, TgaImage& image, GLuint texture) {
  const bool loaded = image.load(path);
  glBindTexture(GL_TEXTURE_2D, texture);
  if (loaded) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormatOf(image), image.width(), image.height(),
                      image.format(), image.dataType(), image.data());
  }
  image.freeData();
  return loaded;
}

void createFloorTexture(const char* path, TgaImage& image, GLuint& texture) {
  glGenTextures(1, &texture);
  fillFloorTexture(path, image, texture);
}

}  // namespace

void createSceneTextures(const char* stonePath, const char* desktopPath, unsigned& envTexture,
                         unsigned& floorTexture) {
  static_assert(sizeof(GLuint) == sizeof(unsigned));
  // Rows are tightly packed, whatever the width.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  TgaImage image;
  GLuint env = 0;
  GLuint floor = 0;
  createCubeMap(stonePath, image, env);
  createFloorTexture(desktopPath, image, floor);
  envTexture = env;
  floorTexture = floor;
}

bool fillFloorTexture(const char* desktopPath, unsigned floorTexture) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  TgaImage image;
  return fillFloorTexture(desktopPath, image, floorTexture);
}

}  // namespace sorvanta::textures
