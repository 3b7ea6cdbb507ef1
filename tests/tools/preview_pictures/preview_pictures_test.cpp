// The preview pictures: the tool still draws exactly the committed bytes, the scaling
// averages areas, and the pictures show the scene.
#include "preview_pictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace sorvanta::tools {
namespace {

// The committed pictures show the scene as the saver draws it, with the stone texture on
// the balls and, standing in for a desktop, on the floor too.
SceneImages stoneTexturedScene() {
  const char* stone = std::getenv("SORVANTA_STONE_TGA");
  return stone == nullptr ? SceneImages{} : SceneImages{stone, stone};
}

TEST(PreviewPictures, ToolMakesTheCommittedBytes) {
  ASSERT_NE(std::getenv("SORVANTA_STONE_TGA"), nullptr) << "run through ctest";
  const std::vector<AssetFile> files = previewPictureFiles(stoneTexturedScene());
  ASSERT_EQ(files.size(), 2u) << "the scene could not be drawn off-screen";
  for (const AssetFile& file : files) {
    const std::vector<std::uint8_t> committed =
        readFile(std::string(SORVANTA_ASSET_DIR) + "/" + file.name);
    ASSERT_FALSE(committed.empty()) << file.name << " is not committed";
    EXPECT_EQ(file.bytes, committed) << file.name << " differs: rerun preview_pictures";
  }
}

TEST(PreviewPictures, PicturesAre152By112AndShowTheScene) {
  for (const char* name : {"preview_form.bmp", "preview_image.bmp"}) {
    const Picture picture = readBmp(readFile(std::string(SORVANTA_ASSET_DIR) + "/" + name));
    ASSERT_EQ(picture.width, 152) << name;
    ASSERT_EQ(picture.height, 112) << name;
    // The top corners are the black sky above the floor; the middle shows the box.
    EXPECT_EQ(picture.at(0, 0), (Rgb{0, 0, 0})) << name;
    const Rgb middle = picture.at(76, 56);
    EXPECT_GT(middle.red + middle.green + middle.blue, 60) << name;
  }
}

TEST(ScaleDown, EvenFactorAveragesEachBlock) {
  Picture source(4, 2);
  source.at(0, 0) = {0, 0, 0};
  source.at(1, 0) = {100, 200, 40};
  source.at(0, 1) = {100, 0, 40};
  source.at(1, 1) = {200, 200, 40};
  source.at(2, 0) = source.at(3, 0) = source.at(2, 1) = source.at(3, 1) = {9, 9, 9};
  const Picture target = scaleDownByArea(source, 2, 1);
  EXPECT_EQ(target.at(0, 0), (Rgb{100, 100, 30}));
  EXPECT_EQ(target.at(1, 0), (Rgb{9, 9, 9}));
}

TEST(ScaleDown, FractionalFactorWeighsPartlyCoveredPixels) {
  // Three pixels into two: each target covers one and a half source pixels.
  Picture source(3, 1);
  source.at(0, 0) = {0, 0, 0};
  source.at(1, 0) = {90, 90, 90};
  source.at(2, 0) = {180, 180, 180};
  const Picture target = scaleDownByArea(source, 2, 1);
  EXPECT_EQ(target.at(0, 0), (Rgb{30, 30, 30}));     // (0 * 1 + 90 * 0.5) / 1.5
  EXPECT_EQ(target.at(1, 0), (Rgb{150, 150, 150}));  // (90 * 0.5 + 180 * 1) / 1.5
}

TEST(ScaleDown, FlatPictureStaysFlat) {
  const Picture source(1024, 768, Rgb{12, 34, 56});
  const Picture target = scaleDownByArea(source, 152, 112);
  for (const Rgb& pixel : target.pixels) {
    ASSERT_EQ(pixel, (Rgb{12, 34, 56}));
  }
}

}  // namespace
}  // namespace sorvanta::tools
