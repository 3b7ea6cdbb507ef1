#include "saver/capture/wallpaper_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using sorvanta::capture::arrangeWallpaper;
using sorvanta::capture::isSecureSaverDesktop;
using sorvanta::capture::WallpaperPicture;
using sorvanta::capture::WallpaperStyle;
using sorvanta::capture::wallpaperStyleOf;

// Pictures drawn by hand, one letter a pixel: A to D are four wallpaper colours, K the
// desktop colour.
constexpr std::uint32_t kDesktop = 0x3A6EA5;

std::uint32_t colourOf(char letter) {
  switch (letter) {
    case 'A':
      return 0xFF0000;
    case 'B':
      return 0x00FF00;
    case 'C':
      return 0x0000FF;
    case 'D':
      return 0xFFFFFF;
    default:
      return kDesktop;
  }
}

WallpaperPicture drawn(std::initializer_list<std::string> rows) {
  WallpaperPicture picture;
  picture.height = static_cast<int>(rows.size());
  for (const std::string& row : rows) {
    picture.width = static_cast<int>(row.size());
    for (char letter : row) {
      picture.pixels.push_back(colourOf(letter));
    }
  }
  return picture;
}

std::string lettersOf(const WallpaperPicture& picture) {
  std::string text;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t pixel = picture.pixels[static_cast<std::size_t>(y * picture.width + x)];
      char letter = '?';
      for (char candidate : std::string("ABCDK")) {
        letter = colourOf(candidate) == pixel ? candidate : letter;
      }
      text += letter;
    }
    text += y + 1 < picture.height ? "/" : "";
  }
  return text;
}

TEST(WallpaperLayout, EachStyleArrangesTheWallpaperAtTheScreensSize) {
  // A wide strip on a 6 x 3 screen: every style gives another picture.
  const WallpaperPicture strip = drawn({"ABCD"});
  const struct {
    WallpaperStyle style;
    const char* screen;
  } cases[] = {
      {WallpaperStyle::Stretch, "ABBCDD/ABBCDD/ABBCDD"},
      {WallpaperStyle::Fit, "ABBCDD/ABBCDD/KKKKKK"},   // 6 x 1.5 rounds to 6 x 2, on top
      {WallpaperStyle::Fill, "BBBCCC/BBBCCC/BBBCCC"},  // 12 x 3, centred, both ends cut
      {WallpaperStyle::Span, "BBBCCC/BBBCCC/BBBCCC"},  // on one screen, as fill
      {WallpaperStyle::Centre, "KKKKKK/KABCDK/KKKKKK"},
      {WallpaperStyle::Tile, "ABCDAB/ABCDAB/ABCDAB"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(lettersOf(arrangeWallpaper(strip, 6, 3, c.style, kDesktop)), c.screen)
        << static_cast<int>(c.style);
  }
}

TEST(WallpaperLayout, TallPicturesLargerPicturesAndRepeatedRows) {
  const WallpaperPicture tall = drawn({"A", "B", "C", "D"});
  // Each screen pixel takes the source pixel under its centre: of A-B, B; of C-D, D.
  EXPECT_EQ(lettersOf(arrangeWallpaper(tall, 3, 2, WallpaperStyle::Fit, kDesktop)), "KBK/KDK");
  EXPECT_EQ(lettersOf(arrangeWallpaper(tall, 3, 2, WallpaperStyle::Fill, kDesktop)), "BBB/CCC");
  // Larger than the screen: centred and cut on every side.
  const WallpaperPicture square = drawn({"AAAA", "ABCA", "ADDA", "AAAA"});
  EXPECT_EQ(lettersOf(arrangeWallpaper(square, 2, 2, WallpaperStyle::Centre, kDesktop)), "BC/DD");
  // Tiles repeat rows as well as columns, from the top-left corner.
  const WallpaperPicture block = drawn({"AB", "CD"});
  EXPECT_EQ(lettersOf(arrangeWallpaper(block, 3, 3, WallpaperStyle::Tile, kDesktop)),
            "ABA/CDC/ABA");
  // Shrunk by a whole factor: every other pixel, the second of each pair.
  EXPECT_EQ(
      lettersOf(arrangeWallpaper(drawn({"ABCD", "ABCD"}), 2, 1, WallpaperStyle::Stretch, kDesktop)),
      "BD");
}

TEST(WallpaperLayout, NoPictureLeavesTheDesktopColour) {
  EXPECT_EQ(lettersOf(arrangeWallpaper({}, 3, 2, WallpaperStyle::Fill, kDesktop)), "KKK/KKK");
  WallpaperPicture shortOfPixels = drawn({"AB"});
  shortOfPixels.height = 2;
  EXPECT_EQ(lettersOf(arrangeWallpaper(shortOfPixels, 2, 1, WallpaperStyle::Tile, kDesktop)), "KK");
  EXPECT_EQ(arrangeWallpaper(drawn({"A"}), 0, 5, WallpaperStyle::Tile, kDesktop).pixels.size(), 0u);
}

TEST(WallpaperLayout, StyleFromTheRegistrysTexts) {
  const struct {
    const char* style;
    const char* tile;
    WallpaperStyle expected;
  } cases[] = {
      {"0", "0", WallpaperStyle::Centre},  {"0", "1", WallpaperStyle::Tile},
      {"2", "0", WallpaperStyle::Stretch}, {"6", "0", WallpaperStyle::Fit},
      {"10", "0", WallpaperStyle::Fill},   {"22", "0", WallpaperStyle::Span},
      {"10", "1", WallpaperStyle::Fill},  // tiling applies to style 0 only
      {"", "", WallpaperStyle::Centre},    {"", "1", WallpaperStyle::Tile},
      {"7", "0", WallpaperStyle::Centre},  {"fill", "0", WallpaperStyle::Centre},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(wallpaperStyleOf(c.style, c.tile), c.expected) << c.style << ' ' << c.tile;
  }
}

TEST(WallpaperLayout, TheSecureSaversDesktopIsKnownByItsNameInAnyCase) {
  EXPECT_TRUE(isSecureSaverDesktop("Screen-saver"));
  EXPECT_TRUE(isSecureSaverDesktop("SCREEN-SAVER"));
  EXPECT_FALSE(isSecureSaverDesktop("Default"));
  EXPECT_FALSE(isSecureSaverDesktop("Screen-saver2"));
  EXPECT_FALSE(isSecureSaverDesktop(""));
}

}  // namespace
