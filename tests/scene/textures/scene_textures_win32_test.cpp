// The scene textures as the Windows build makes them: MinGW's GL 1.1 headers with the
// cube-map names of our own, opengl32 and glu32, on a WGL context (Wine's GL here).
#include <windows.h>

#include "pixel_format_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene_textures.h"
#include "scene/gl_api.h"
#include "tga_test_files.h"

using tgatest::Bytes;

namespace {

// A hidden window with an OpenGL rendering context current on it.
class WglContext {
 public:
  WglContext() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SorvantaTextureTest";
    RegisterClassW(&windowClass);
    window_ = CreateWindowW(L"SorvantaTextureTest", L"texture test", WS_OVERLAPPEDWINDOW, 0, 0, 64,
                            64, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window_ == nullptr)
      return;
    dc_ = GetDC(window_);
    if (!setupPixelFormat(dc_))
      return;
    context_ = wglCreateContext(dc_);
    if (context_ != nullptr && !wglMakeCurrent(dc_, context_)) {
      wglDeleteContext(context_);
      context_ = nullptr;
    }
  }
  ~WglContext() {
    if (context_ != nullptr) {
      wglMakeCurrent(nullptr, nullptr);
      wglDeleteContext(context_);
    }
    if (dc_ != nullptr)
      ReleaseDC(window_, dc_);
    if (window_ != nullptr)
      DestroyWindow(window_);
  }
  WglContext(const WglContext&) = delete;
  WglContext& operator=(const WglContext&) = delete;
  bool ready() const { return context_ != nullptr; }

 private:
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  HGLRC context_ = nullptr;
};

GLint levelWidth(GLenum target, GLint level) {
  GLint width = -1;
  glGetTexLevelParameteriv(target, level, GL_TEXTURE_WIDTH, &width);
  return width;
}

Bytes textureImage(GLenum target, GLint size) {
  Bytes out(static_cast<std::size_t>(size) * size * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(target, 0, GL_RGB, GL_UNSIGNED_BYTE, out.data());
  return out;
}

class SceneTexturesWin32 : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(context_.ready()) << "no WGL context"; }

  std::string write(const std::string& name, int size, const Bytes& pixels) {
    return folder_.write(
        name, tgatest::concat(tgatest::headerBytes({0, 0, 2, size, size, 24, 0}), pixels));
  }

  WglContext context_;
  tgatest::ScratchFolder folder_{"scene-textures-win32-test"};
};

TEST_F(SceneTexturesWin32, CubeMapAndMipmappedFloorHoldThePictures) {
  Bytes file;
  for (int i = 0; i < 3 * 3 * 3; ++i)
    file.push_back(static_cast<std::uint8_t>(i * 9 + 5));
  Bytes rgb = file;
  for (std::size_t i = 0; i < rgb.size(); i += 3)
    std::swap(rgb[i], rgb[i + 2]);
  const std::string stone = write("stone.tga", 3, file);
  Bytes desktopFile(4 * 4 * 3, 0);
  for (std::size_t i = 0; i < desktopFile.size(); i += 3)
    desktopFile[i + 1] = 200;  // green
  const std::string desktop = write("desktop.tga", 4, desktopFile);

  unsigned envTexture = 0;
  unsigned floorTexture = 0;
  sorvanta::textures::createSceneTextures(stone.c_str(), desktop.c_str(), envTexture, floorTexture);

  ASSERT_NE(envTexture, 0u);
  ASSERT_NE(floorTexture, 0u);
  for (GLenum face = 0; face < 6; ++face) {
    const GLenum target = GL_TEXTURE_CUBE_MAP_POSITIVE_X + face;
    ASSERT_EQ(levelWidth(target, 0), 3) << "face " << face;
    EXPECT_EQ(textureImage(target, 3), rgb) << "face " << face;
  }
  EXPECT_EQ(levelWidth(GL_TEXTURE_2D, 0), 4);
  EXPECT_EQ(levelWidth(GL_TEXTURE_2D, 2), 1) << "mipmap chain down to 1 x 1";
  const Bytes floorLevel0 = textureImage(GL_TEXTURE_2D, 4);
  EXPECT_EQ(floorLevel0[0], 0);
  EXPECT_EQ(floorLevel0[1], 200);
  EXPECT_EQ(floorLevel0[2], 0);
}

TEST_F(SceneTexturesWin32, MissingFilesLeaveBoundTexturesWithoutImages) {
  unsigned envTexture = 0;
  unsigned floorTexture = 0;
  sorvanta::textures::createSceneTextures(folder_.pathOf("absent2.tga").c_str(),
                                          folder_.pathOf("absent1.tga").c_str(), envTexture,
                                          floorTexture);
  ASSERT_NE(envTexture, 0u);
  ASSERT_NE(floorTexture, 0u);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, static_cast<GLint>(floorTexture));
  EXPECT_EQ(levelWidth(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0), 0);
  EXPECT_EQ(levelWidth(GL_TEXTURE_2D, 0), 0);
}

}  // namespace
