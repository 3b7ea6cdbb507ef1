// The scene's two textures, made from the exchange images. Needs a current GL context.
#pragma once

namespace sorvanta::textures {

// Creates and binds the balls' cube map (the picture at `stonePath` on all six faces,
// linear minification) and the mipmapped floor texture (the picture at `desktopPath`).
// Both names are always generated and left bound to GL_TEXTURE_CUBE_MAP and
// GL_TEXTURE_2D; a file that cannot be read leaves its texture without an image, and
// the scene draws that surface untextured. Leaves GL_UNPACK_ALIGNMENT at 1.
void createSceneTextures(const char* stonePath, const char* desktopPath, unsigned& envTexture,
                         unsigned& floorTexture);

// Gives the floor texture made above the picture at `desktopPath`, for a picture that
// comes after the scene has started; the texture stays bound to GL_TEXTURE_2D. False,
// the texture unchanged, when the file cannot be read.
bool fillFloorTexture(const char* desktopPath, unsigned floorTexture);

}  // namespace sorvanta::textures
