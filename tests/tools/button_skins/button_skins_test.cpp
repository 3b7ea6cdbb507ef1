#include "tools/button_skins/button_skins.h"

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace sorvanta::button_skins {
namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

Picture Draw(const std::string& name) {
  Picture picture;
  EXPECT_TRUE(DrawSkin(name, picture)) << name;
  return picture;
}

constexpr Rgb kDarkBlue{0x00, 0x3C, 0x74};

TEST(ButtonSkinsFiles, CommittedFilesAreWhatTheToolMakes) {
  for (const std::string& name : SkinNames()) {
    const std::string path = std::string(SORVANTA_ASSETS_DIR) + "/" + SkinFileName(name);
    const auto committed = ReadFile(path);
    ASSERT_FALSE(committed.empty()) << "missing " << path;
    EXPECT_EQ(committed, EncodeBmp(Draw(name))) << name << " differs from " << path;
  }
}

TEST(ButtonSkinsFiles, BmpHeaderIs64By25At24Bits) {
  const auto bytes = EncodeBmp(Draw("Normal"));
  ASSERT_EQ(bytes.size(), 54u + 64 * 3 * 25);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(bytes[18], 64);  // width
  EXPECT_EQ(bytes[22], 25);  // height, positive: bottom-up
  EXPECT_EQ(bytes[28], 24);  // bits per pixel
}

TEST(ButtonSkinsFiles, RowsAreWrittenBottomUpInBlueGreenRed) {
  Picture picture;
  picture.at(0, 0) = {1, 2, 3};            // top-left
  picture.at(0, kHeight - 1) = {4, 5, 6};  // bottom-left
  const auto bytes = EncodeBmp(picture);
  EXPECT_EQ(bytes[54], 6);
  EXPECT_EQ(bytes[56], 4);
  const std::size_t topRow = 54 + 64 * 3 * (kHeight - 1);
  EXPECT_EQ(bytes[topRow], 3);
  EXPECT_EQ(bytes[topRow + 2], 1);
}

TEST(ButtonSkinsLooks, UnknownNameIsRefused) {
  Picture picture;
  EXPECT_FALSE(DrawSkin("Hover", picture));
}

struct PixelCase {
  const char* skin;
  int x, y;
  Rgb expected;
  const char* what;
};

class ButtonSkinsPixels : public ::testing::TestWithParam<PixelCase> {};

TEST_P(ButtonSkinsPixels, HasTheColourOfItsLook) {
  const PixelCase& c = GetParam();
  const Rgb got = Draw(c.skin).at(c.x, c.y);
  EXPECT_TRUE(got == c.expected) << c.skin << " " << c.what << " at (" << c.x << "," << c.y
                                 << "): got " << int(got.r) << "," << int(got.g) << ","
                                 << int(got.b);
}

INSTANTIATE_TEST_SUITE_P(
    Looks, ButtonSkinsPixels,
    ::testing::Values(
        PixelCase{"Normal", 0, 12, {0xEC, 0xE9, 0xD8}, "outer frame in the dialog tone"},
        PixelCase{"Normal", 63, 12, {0xE9, 0xE7, 0xD5}, "outer frame, right"},
        PixelCase{"Normal", 1, 1, {0xEC, 0xE9, 0xD8}, "rounded corner left open"},
        PixelCase{"Normal", 2, 2, kDarkBlue, "corner rounded by the diagonal pixel"},
        PixelCase{"Normal", 1, 12, kDarkBlue, "left border"},
        PixelCase{"Normal", 30, 23, kDarkBlue, "bottom border"},
        PixelCase{"Normal", 30, 5, {0xF3, 0xF3, 0xEE}, "near-white face"},
        PixelCase{"Normal", 30, 21, {0xE2, 0xDF, 0xD6}, "first bottom inner row"},
        PixelCase{"Normal", 30, 22, {0xD6, 0xD0, 0xC5}, "last bottom inner row"},
        PixelCase{"HighLight", 30, 2, {0xFF, 0xF0, 0xCF}, "amber rim, top"},
        PixelCase{"HighLight", 30, 3, {0xFD, 0xD8, 0x89}, "amber rim, second top row"},
        PixelCase{"HighLight", 2, 12, {0xFC, 0xCA, 0x69}, "amber rim, left"},
        PixelCase{"HighLight", 61, 12, {0xFC, 0xCA, 0x69}, "amber rim, right"},
        PixelCase{"HighLight", 30, 21, {0xF8, 0xB3, 0x30}, "amber rim, bottom"},
        PixelCase{"HighLight", 30, 22, {0xE5, 0x97, 0x00}, "amber rim, last bottom row"},
        PixelCase{"HighLightSelect", 2, 12, {0xFC, 0xCA, 0x69}, "same look as HighLight"},
        PixelCase{"Selected", 30, 2, {0xCE, 0xE7, 0xFF}, "blue rim, top"},
        PixelCase{"Selected", 3, 12, {0xA9, 0xC5, 0xEF}, "blue rim, side"},
        PixelCase{"Selected", 30, 22, {0x69, 0x82, 0xEE}, "blue rim, bottom"},
        PixelCase{"Selected", 1, 12, kDarkBlue, "border"},
        PixelCase{"Pressed", 1, 12, {0xEC, 0xE9, 0xD8}, "border moved one pixel in"},
        PixelCase{"Pressed", 2, 12, kDarkBlue, "sunken border"},
        PixelCase{"Pressed", 30, 12, {0xE2, 0xE1, 0xD9}, "sunken face"},
        PixelCase{"Disable", 1, 12, {0xC9, 0xC7, 0xBA}, "grey border"},
        PixelCase{"Disable", 30, 12, {0xF5, 0xF4, 0xEA}, "pale face"}));

TEST(ButtonSkinsLooks, HighLightSelectLooksLikeHighLight) {
  EXPECT_TRUE(Draw("HighLight").pixels == Draw("HighLightSelect").pixels);
}

TEST(ButtonSkinsLooks, EverySkinDiffersFromNormalExceptItself) {
  const Picture normal = Draw("Normal");
  for (const std::string& name : SkinNames()) {
    if (name == "Normal")
      continue;
    EXPECT_FALSE(Draw(name).pixels == normal.pixels) << name << " looks like Normal";
  }
}

}  // namespace
}  // namespace sorvanta::button_skins
