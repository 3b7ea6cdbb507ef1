// The scene's two textures on Mesa's off-screen GL: the images the GL holds after
// createSceneTextures, read back with glGetTexImage.
#include "scene_textures.h"

#include <GL/osmesa.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "scene/gl_api.h"
#include "tga_test_files.h"

using tgatest::Bytes;
using tgatest::HeaderFields;

namespace {

constexpr int kViewSize = 200;

class SceneTextures : public ::testing::Test {
 protected:
  void SetUp() override {
    context_ = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    ASSERT_NE(context_, nullptr) << "no OSMesa context";
    pixels_.assign(static_cast<std::size_t>(kViewSize) * kViewSize * 4, 0);
    ASSERT_TRUE(
        OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, kViewSize, kViewSize));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
  }
  void TearDown() override {
    if (context_ != nullptr) {
      OSMesaDestroyContext(context_);
    }
  }

  std::string writeTga(const std::string& name, const HeaderFields& fields, const Bytes& pixels) {
    return folder_.write(name, tgatest::concat(tgatest::headerBytes(fields), pixels));
  }

  // Creates the textures from two files (or absent paths) in the scratch folder.
  void create(const std::string& stonePath, const std::string& desktopPath) {
    sorvanta::textures::createSceneTextures(stonePath.c_str(), desktopPath.c_str(), envTexture_,
                                            floorTexture_);
  }

  tgatest::ScratchFolder folder_{"scene-textures-test"};
  OSMesaContext context_ = nullptr;
  std::vector<std::uint8_t> pixels_;
  unsigned envTexture_ = 0;
  unsigned floorTexture_ = 0;
};

GLint levelParameter(GLenum target, GLint level, GLenum name) {
  GLint value = -1;
  glGetTexLevelParameteriv(target, level, name, &value);
  return value;
}

Bytes textureImage(GLenum target, GLint level, GLenum format) {
  const int channels = format == GL_RGBA ? 4 : 3;
  Bytes out(static_cast<std::size_t>(levelParameter(target, level, GL_TEXTURE_WIDTH)) *
            levelParameter(target, level, GL_TEXTURE_HEIGHT) * channels);
  glGetTexImage(target, level, format, GL_UNSIGNED_BYTE, out.data());
  return out;
}

// File-order (blue-green-red) pixels to the red-green-blue order the GL holds.
Bytes toRgb(Bytes bgr, int channels) {
  for (std::size_t i = 0; i + 2 < bgr.size(); i += channels) {
    std::swap(bgr[i], bgr[i + 2]);
  }
  return bgr;
}

Bytes patternPixels(int count, int channels) {
  Bytes out;
  for (int i = 0; i < count * channels; ++i) {
    out.push_back(static_cast<std::uint8_t>(i * 37 + 11));
  }
  return out;
}

GLint integerState(GLenum name) {
  GLint value = -1;
  glGetIntegerv(name, &value);
  return value;
}

TEST_F(SceneTextures, CubeMapCarriesPictureOnAllSixFaces) {
  // 3 x 3 at 24 bits: 9-byte rows, which only arrive intact with unpack alignment 1.
  const Bytes file = patternPixels(9, 3);
  const std::string cube = writeTga("cube.tga", {0, 0, 2, 3, 3, 24, 0}, file);
  create(cube, folder_.pathOf("absent.tga"));

  ASSERT_NE(envTexture_, 0u);
  EXPECT_EQ(integerState(GL_TEXTURE_BINDING_CUBE_MAP), static_cast<GLint>(envTexture_));
  EXPECT_EQ(integerState(GL_UNPACK_ALIGNMENT), 1);
  GLint minFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, &minFilter);
  EXPECT_EQ(minFilter, GL_LINEAR);
  for (GLenum face = 0; face < 6; ++face) {
    const GLenum target = GL_TEXTURE_CUBE_MAP_POSITIVE_X + face;
    EXPECT_EQ(levelParameter(target, 0, GL_TEXTURE_WIDTH), 3) << "face " << face;
    EXPECT_EQ(textureImage(target, 0, GL_RGB), toRgb(file, 3)) << "face " << face;
  }
}

TEST_F(SceneTextures, ThirtyTwoBitPicturesKeepTheirFourChannels) {
  const Bytes cubeFile = patternPixels(4, 4);
  const Bytes floorFile = patternPixels(8, 4);
  const std::string cube =
      writeTga("cube.tga", {0, 0, 10, 2, 2, 32, 0}, tgatest::encodeRunLength(cubeFile, 2, 2, 4));
  const std::string floor = writeTga("floor.tga", {0, 0, 2, 4, 2, 32, 0}, floorFile);
  create(cube, floor);

  EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
  EXPECT_EQ(textureImage(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0, GL_RGBA), toRgb(cubeFile, 4));
  EXPECT_EQ(textureImage(GL_TEXTURE_2D, 0, GL_RGBA), toRgb(floorFile, 4));
}

TEST_F(SceneTextures, FloorIsMipmappedWithBottomRowAtTextureOrigin) {
  // 8 x 4 stored top row first: the GL's first row must be the picture's bottom row.
  const Bytes topDown = patternPixels(32, 3);
  const std::string floor = writeTga("floor.tga", {0, 0, 2, 8, 4, 24, 0x20}, topDown);
  create(folder_.pathOf("absent.tga"), floor);

  ASSERT_NE(floorTexture_, 0u);
  EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), static_cast<GLint>(floorTexture_));
  const Bytes level0 = textureImage(GL_TEXTURE_2D, 0, GL_RGB);
  ASSERT_EQ(level0.size(), topDown.size());
  const Bytes bottomRow(topDown.end() - 24, topDown.end());
  EXPECT_EQ(Bytes(level0.begin(), level0.begin() + 24), toRgb(bottomRow, 3));
  // The whole chain down to 1 x 1 is there, so the default mipmapped filter applies.
  EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH), 1);
  EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 3, GL_TEXTURE_HEIGHT), 1);
  GLint wrap = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
  EXPECT_EQ(wrap, GL_REPEAT);
}

TEST_F(SceneTextures, WideDesktopIsScaledWithoutSkew) {
  // 1366 x 768: bottom half red, top half blue. Skewed rows would mix the colours.
  const int width = 1366;
  Bytes file;
  for (int row = 0; row < 768; ++row) {
    for (int x = 0; x < width; ++x) {
      const Bytes pixel = row < 384 ? Bytes{0, 0, 255} : Bytes{255, 0, 0};
      file.insert(file.end(), pixel.begin(), pixel.end());
    }
  }
  const std::string floor = writeTga("floor.tga", {0, 0, 2, width, 768, 24, 0}, file);
  create(folder_.pathOf("absent.tga"), floor);

  const GLint scaledWidth = levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH);
  ASSERT_GT(scaledWidth, 0);
  EXPECT_EQ(scaledWidth & (scaledWidth - 1), 0) << "width " << scaledWidth;
  const Bytes level0 = textureImage(GL_TEXTURE_2D, 0, GL_RGB);
  const std::size_t rowBytes = static_cast<std::size_t>(scaledWidth) * 3;
  const Bytes firstRow(level0.begin(), level0.begin() + rowBytes);
  const Bytes lastRow(level0.end() - rowBytes, level0.end());
  for (std::size_t x = 0; x < rowBytes; x += 3) {
    ASSERT_EQ(Bytes(firstRow.begin() + x, firstRow.begin() + x + 3), (Bytes{255, 0, 0})) << x / 3;
    ASSERT_EQ(Bytes(lastRow.begin() + x, lastRow.begin() + x + 3), (Bytes{0, 0, 255})) << x / 3;
  }
}

struct MissingCase {
  const char* name;
  bool cubeFilePresent;
  bool floorFilePresent;
};

class SceneTexturesMissing : public SceneTextures,
                             public ::testing::WithParamInterface<MissingCase> {};

TEST_P(SceneTexturesMissing, TextureWithoutFileIsBoundButEmpty) {
  const MissingCase& c = GetParam();
  const Bytes square = patternPixels(4, 3);
  const std::string present = writeTga("present.tga", {0, 0, 2, 2, 2, 24, 0}, square);
  const std::string absent = folder_.pathOf("absent.tga");
  create(c.cubeFilePresent ? present : absent, c.floorFilePresent ? present : absent);

  ASSERT_NE(envTexture_, 0u) << c.name;
  ASSERT_NE(floorTexture_, 0u) << c.name;
  EXPECT_NE(envTexture_, floorTexture_) << c.name;
  EXPECT_EQ(integerState(GL_TEXTURE_BINDING_CUBE_MAP), static_cast<GLint>(envTexture_)) << c.name;
  EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), static_cast<GLint>(floorTexture_)) << c.name;
  EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_POSITIVE_Y, 0, GL_TEXTURE_WIDTH),
            c.cubeFilePresent ? 2 : 0)
      << c.name;
  EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), c.floorFilePresent ? 2 : 0)
      << c.name;
}

INSTANTIATE_TEST_SUITE_P(Files, SceneTexturesMissing,
                         ::testing::Values(MissingCase{"both_missing", false, false},
                                           MissingCase{"cube_missing", false, true},
                                           MissingCase{"floor_missing", true, false},
                                           MissingCase{"both_present", true, true}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(SceneTextures, MalformedFilesLeaveTexturesEmpty) {
  const std::string grey = writeTga("grey.tga", {0, 0, 3, 2, 2, 8, 0}, Bytes(4, 9));
  const std::string tooDeep = writeTga("deep.tga", {0, 0, 2, 2, 2, 48, 0}, Bytes(24, 9));
  create(grey, tooDeep);
  EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0, GL_TEXTURE_WIDTH), 0);
  EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), 0);
}

TEST_F(SceneTextures, NonSquareCubeMapGetsNoImage) {
  const std::string wide = writeTga("wide.tga", {0, 0, 2, 4, 2, 24, 0}, patternPixels(8, 3));
  create(wide, wide);
  EXPECT_EQ(levelParameter(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0, GL_TEXTURE_WIDTH), 0);
  EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), 4);
  while (glGetError() != GL_NO_ERROR) {
  }
}

// The real texture file of a run: the stone picture the tool makes, on every face.
TEST_F(SceneTextures, StoneTextureFileFillsTheCubeMap) {
  const char* stoneTga = std::getenv("SORVANTA_STONE_TGA");
  const char* stoneBmp = std::getenv("SORVANTA_STONE_BMP");
  ASSERT_NE(stoneTga, nullptr);
  ASSERT_NE(stoneBmp, nullptr);
  std::ifstream in(stoneBmp, std::ios::binary);
  const Bytes bmp((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bmp.size(), 54u + 256 * 256 * 3) << stoneBmp;
  const Bytes expected = toRgb(Bytes(bmp.begin() + 54, bmp.end()), 3);

  create(stoneTga, folder_.pathOf("absent.tga"));
  for (GLenum face = 0; face < 6; ++face) {
    const GLenum target = GL_TEXTURE_CUBE_MAP_POSITIVE_X + face;
    EXPECT_EQ(levelParameter(target, 0, GL_TEXTURE_WIDTH), 256) << "face " << face;
    EXPECT_TRUE(textureImage(target, 0, GL_RGB) == expected) << "face " << face;
  }
}

// Draws the floor texture over the view with texture coordinates 0 to 5, as the scene's
// floor does: a picture whose left half is red and right half green shows ten stripes.
TEST_F(SceneTextures, FloorTextureTilesFiveTimes) {
  Bytes file;
  for (int row = 0; row < 4; ++row) {
    for (int x = 0; x < 8; ++x) {
      const Bytes pixel = x < 4 ? Bytes{0, 0, 255} : Bytes{0, 255, 0};
      file.insert(file.end(), pixel.begin(), pixel.end());
    }
  }
  create(folder_.pathOf("absent.tga"), writeTga("floor.tga", {0, 0, 2, 8, 4, 24, 0}, file));
  glViewport(0, 0, kViewSize, kViewSize);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 1, 0, 1, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(0, 0);
  glTexCoord2f(5, 0);
  glVertex2f(1, 0);
  glTexCoord2f(5, 5);
  glVertex2f(1, 1);
  glTexCoord2f(0, 5);
  glVertex2f(0, 1);
  glEnd();
  glFinish();
  // Sample the middle of each of the ten stripes along one row.
  const int row = kViewSize / 2;
  for (int stripe = 0; stripe < 10; ++stripe) {
    const int x = (2 * stripe + 1) * kViewSize / 20;
    const std::uint8_t* pixel =
        pixels_.data() + (static_cast<std::size_t>(row) * kViewSize + x) * 4;
    const bool red = stripe % 2 == 0;
    EXPECT_EQ(pixel[0], red ? 255 : 0) << "stripe " << stripe;
    EXPECT_EQ(pixel[1], red ? 0 : 255) << "stripe " << stripe;
  }
}

}  // namespace
