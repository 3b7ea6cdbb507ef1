// The settings dialog's pictures: the tool still makes exactly the committed bytes,
// and the pictures have the sizes, colours and hot spot the dialog relies on.
#include "dialog_pictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace sorvanta::tools {
namespace {

std::string assetPath(const std::string& name) {
  return std::string(SORVANTA_ASSET_DIR) + "/" + name;
}

TEST(DialogPictures, ToolMakesTheCommittedBytes) {
  for (const AssetFile& file : dialogPictureFiles()) {
    const std::vector<std::uint8_t> committed = readFile(assetPath(file.name));
    ASSERT_FALSE(committed.empty()) << file.name << " is not committed";
    EXPECT_EQ(file.bytes, committed) << file.name << " differs: rerun dialog_pictures";
  }
}

TEST(DialogPictures, BitmapsReadBackAtTheirSizes) {
  struct Case {
    const char* name;
    int width, height;
  } cases[] = {
      {"mark_not_chosen.bmp", 12, 12}, {"mark_chosen.bmp", 12, 12}, {"panel_strip.bmp", 556, 20}};
  for (const Case& c : cases) {
    const Picture picture = readBmp(readFile(assetPath(c.name)));
    EXPECT_EQ(picture.width, c.width) << c.name;
    EXPECT_EQ(picture.height, c.height) << c.name;
  }
}

TEST(DialogPictures, MarksDifferOnlyInTheMiddle) {
  const Picture chosen = choiceMark(true);
  const Picture notChosen = choiceMark(false);
  EXPECT_FALSE(chosen.at(6, 6) == notChosen.at(6, 6)) << "the chosen mark has no dot";
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) {
      const bool middle = x >= 3 && x <= 8 && y >= 3 && y <= 8;
      if (!middle) {
        EXPECT_EQ(chosen.at(x, y), notChosen.at(x, y)) << "pixel " << x << "," << y;
      }
    }
  }
  // Corners show the panel's light grey.
  EXPECT_EQ(notChosen.at(0, 0), (Rgb{0xE0, 0xE0, 0xE0}));
}

// Column averages of the strip run from #DFD7DF at the left to #B0A8AF at the right.
TEST(DialogPictures, StripIsAGrainyGreyBandFromLightToDark) {
  const Picture strip = panelStrip();
  auto columnAverage = [&strip](int x0, int x1, auto channel) {
    double sum = 0;
    for (int y = 0; y < strip.height; ++y) {
      for (int x = x0; x < x1; ++x) {
        sum += channel(strip.at(x, y));
      }
    }
    return sum / (strip.height * (x1 - x0));
  };
  auto red = [](const Rgb& p) { return p.red; };
  auto green = [](const Rgb& p) { return p.green; };
  auto blue = [](const Rgb& p) { return p.blue; };
  EXPECT_NEAR(columnAverage(0, 4, red), 0xDF, 2.5);
  EXPECT_NEAR(columnAverage(0, 4, green), 0xD7, 2.5);
  EXPECT_NEAR(columnAverage(0, 4, blue), 0xDF, 2.5);
  EXPECT_NEAR(columnAverage(552, 556, red), 0xB0, 2.5);
  EXPECT_NEAR(columnAverage(552, 556, green), 0xA8, 2.5);
  EXPECT_NEAR(columnAverage(552, 556, blue), 0xAF, 2.5);
  int differingNeighbours = 0;
  for (int x = 1; x < strip.width; ++x) {
    differingNeighbours += strip.at(x, 10) == strip.at(x - 1, 10) ? 0 : 1;
  }
  EXPECT_GT(differingNeighbours, strip.width / 2) << "the strip has no grain";
}

TEST(DialogPictures, IconIsA32By32Icon) {
  const std::vector<std::uint8_t> bytes = readFile(assetPath("window_icon.ico"));
  ASSERT_GE(bytes.size(), 22u);
  EXPECT_EQ(bytes[2], 1) << "resource type icon";
  EXPECT_EQ(bytes[4], 1) << "one image";
  EXPECT_EQ(bytes[6], 32);
  EXPECT_EQ(bytes[7], 32);
  const std::size_t size = bytes[14] | bytes[15] << 8 | bytes[16] << 16;
  EXPECT_EQ(size + 22, bytes.size()) << "image size in the directory";
}

TEST(DialogPictures, CursorHasItsHotSpotAtTheFingertip) {
  const std::vector<std::uint8_t> bytes = readFile(assetPath("link_cursor.cur"));
  ASSERT_GE(bytes.size(), 22u);
  EXPECT_EQ(bytes[2], 2) << "resource type cursor";
  EXPECT_EQ(bytes[6], 32);
  EXPECT_EQ(bytes[7], 32);
  EXPECT_EQ(bytes[10] | bytes[11] << 8, 12) << "hot spot x";
  EXPECT_EQ(bytes[12] | bytes[13] << 8, 10) << "hot spot y";
  const std::size_t bitsPerPixelAt = 22 + 14;
  EXPECT_EQ(bytes[bitsPerPixelAt], 1) << "two colours";
  const CursorPicture cursor = linkCursor();
  EXPECT_NE(cursor.pixels[10 * 32 + 12], CursorPixel::Transparent) << "hot spot on the hand";
  EXPECT_EQ(cursor.pixels[0], CursorPixel::Transparent);
}

}  // namespace
}  // namespace sorvanta::tools
