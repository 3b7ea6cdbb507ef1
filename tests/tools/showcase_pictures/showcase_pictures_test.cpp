// The installer's pictures and the README's still frame: the tool draws the committed
// pictures again. Mesa's off-screen drawing can differ by a level or two of colour
// between machines (other vector units, other rounding), so a picture matches when
// every channel of every pixel is within kTolerance of the committed one.
#include "showcase_pictures.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <cstdlib>
#include <string>

namespace sorvanta::tools {
namespace {

constexpr int kTolerance = 4;
constexpr std::size_t kStillLimit = 300 * 1024;  // what a README picture may weigh

Picture decodePng(const std::vector<std::uint8_t>& bytes) {
  int width = 0, height = 0, channels = 0;
  stbi_uc* rgb = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                       &height, &channels, 3);
  if (rgb == nullptr) {
    return Picture(0, 0);
  }
  Picture picture(width, height);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    picture.pixels[i] = Rgb{rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]};
  }
  stbi_image_free(rgb);
  return picture;
}

Picture decode(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  return name.size() > 4 && name.substr(name.size() - 4) == ".png" ? decodePng(bytes)
                                                                   : readBmp(bytes);
}

int largestDifference(const Picture& a, const Picture& b) {
  int largest = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    largest = std::max({largest, std::abs(a.pixels[i].red - b.pixels[i].red),
                        std::abs(a.pixels[i].green - b.pixels[i].green),
                        std::abs(a.pixels[i].blue - b.pixels[i].blue)});
  }
  return largest;
}

TEST(ShowcasePictures, ToolDrawsTheCommittedPicturesAgain) {
  const char* stone = std::getenv("SORVANTA_STONE_TGA");
  ASSERT_NE(stone, nullptr) << "run through ctest";
  const std::vector<AssetFile> files = showcasePictureFiles(stone, SORVANTA_WORK_DIR);
  ASSERT_EQ(files.size(), 3u) << "the scene could not be drawn off-screen";
  struct Expected {
    const char* name;
    int width, height;
  };
  const Expected expected[] = {{"packaging/installer_side.bmp", 164, 314},
                               {"packaging/installer_header.bmp", 150, 57},
                               {"docs/scene.png", 640, 480}};
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string& name = files[i].name;
    ASSERT_EQ(name, expected[i].name);
    const std::vector<std::uint8_t> committed =
        readFile(std::string(SORVANTA_SOURCE_DIR) + "/" + name);
    ASSERT_FALSE(committed.empty()) << name << " is not committed";
    const Picture drawn = decode(name, files[i].bytes);
    const Picture kept = decode(name, committed);
    ASSERT_EQ(drawn.width, expected[i].width) << name;
    ASSERT_EQ(drawn.height, expected[i].height) << name;
    ASSERT_EQ(kept.width, drawn.width) << name;
    ASSERT_EQ(kept.height, drawn.height) << name;
    EXPECT_LE(largestDifference(drawn, kept), kTolerance) << name << ": rerun scripts/pictures";
  }
  EXPECT_LT(readFile(std::string(SORVANTA_SOURCE_DIR) + "/docs/scene.png").size(), kStillLimit);
}

// The floor shows the sample desktop: its wallpaper's blue-green is in the still frame.
TEST(ShowcasePictures, SampleDesktopIsOnTheFloor) {
  const Picture still = decodePng(readFile(std::string(SORVANTA_SOURCE_DIR) + "/docs/scene.png"));
  ASSERT_EQ(still.width, 640);
  int wallpaper = 0;
  for (const Rgb& p : still.pixels) {
    wallpaper += p.green > p.red + 60 && p.blue > p.red + 60 ? 1 : 0;
  }
  EXPECT_GT(wallpaper, 640 * 480 / 20) << "the floor shows no wallpaper";
}

}  // namespace
}  // namespace sorvanta::tools
