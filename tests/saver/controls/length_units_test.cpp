// Twips and points as pixels: the layout's rule and the font heights' rule.
#include "saver/controls/length_units.h"

#include <gtest/gtest.h>

namespace sorvanta::controls {
namespace {

struct TwipsCase {
  int twips;
  int dpi;
  int pixels;
};

const TwipsCase kTwipsCases[] = {
    {7410, 96, 494}, {3690, 96, 246}, {180, 96, 12},  {195, 96, 13},  {7410, 120, 618},
    {15, 96, 1},     {7, 96, 0},      {8, 96, 1},     {-8, 96, -1},   {-7, 96, 0},
    {645, 144, 64},  {195, 144, 20},  {315, 144, 32}, {165, 144, 16}, {7410, 144, 741},
};

TEST(Units, TwipsToPixelsToTheNearestWithHalvesToEven) {
  for (const TwipsCase& c : kTwipsCases) {
    EXPECT_EQ(pixelsFromTwips(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
  EXPECT_EQ(pixelsFromTwips(-47.5, kStandardDotsPerInch), -3);  // a fractional twip
  EXPECT_EQ(twipsFromPixels(494, 96), 7410);
  EXPECT_EQ(twipsFromPixels(1024, 96), 15360);
  EXPECT_EQ(twipsFromPixels(618, 120), 7416);
  EXPECT_EQ(twipsFromPixels(10, 0), 0);
}

// Font heights round halves away from zero where the layout rounds them to even: at
// 144 dots per inch 8.25 points are 17 pixels although 165 twips are 16.
TEST(Units, PointsToPixelsWithHalvesAwayFromZero) {
  EXPECT_EQ(pixelsFromPoints(9.75, 96), 13);
  EXPECT_EQ(pixelsFromPoints(8.25, 96), 11);
  EXPECT_EQ(pixelsFromPoints(9.75, 120), 16);
  EXPECT_EQ(pixelsFromPoints(9.75, 144), 20);
  EXPECT_EQ(pixelsFromPoints(8.25, 144), 17);
}

}  // namespace
}  // namespace sorvanta::controls
