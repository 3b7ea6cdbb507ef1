// The settings dialog's rules: kind states, the repeat combo, the background, the
// panel texture's copies and the window's place.
#include "saver/dialog/dialog_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Sorvanta_P {
namespace {

struct KindCase {
  int kind;
  int chosenMark;
  bool repeatEnabled;
  bool fileButtonEnabled;
};

const KindCase kKindCases[] = {
    {0, 0, false, false},
    {1, 1, true, false},
    {2, 2, false, true},
    {3, kNoMarkChosen, false, false},
    {-1, kNoMarkChosen, false, false},
    {32767, kNoMarkChosen, false, false},
};

TEST(KindControls, LoadStateFollowsTheStoredKind) {
  for (const KindCase& c : kKindCases) {
    const KindControls controls = controlsForKind(c.kind);
    EXPECT_EQ(controls.chosenMark, c.chosenMark) << "kind " << c.kind;
    EXPECT_EQ(controls.repeatEnabled, c.repeatEnabled) << "kind " << c.kind;
    EXPECT_EQ(controls.fileButtonEnabled, c.fileButtonEnabled) << "kind " << c.kind;
  }
}

TEST(KindControls, ChoosingAKindSetsItAndItsControls) {
  for (int index = 0; index < kKindCount; ++index) {
    const KindChoice choice = ChooseBgmKind(index);
    EXPECT_EQ(choice.bgmKind, index) << "index " << index;
    EXPECT_EQ(choice.controls.chosenMark, index) << "index " << index;
    EXPECT_EQ(choice.controls.repeatEnabled, index == 1) << "index " << index;
    EXPECT_EQ(choice.controls.fileButtonEnabled, index == 2) << "index " << index;
  }
}

TEST(RepeatCombo, ValueTextLeavesZeroEmpty) {
  EXPECT_EQ(formatRepeat(0), "");
  EXPECT_EQ(formatRepeat(7), "7");
  EXPECT_EQ(formatRepeat(30), "30");
  EXPECT_EQ(formatRepeat(-5), "-5");
  EXPECT_EQ(formatRepeat(32767), "32767");
}

TEST(RepeatCombo, ListHoldsEmptyThenOneToThirty) {
  const std::vector<std::string> entries = repeatListEntries();
  ASSERT_EQ(entries.size(), 31u);
  EXPECT_EQ(entries[0], "");
  for (int i = 1; i <= 30; ++i) {
    EXPECT_EQ(entries[static_cast<std::size_t>(i)], std::to_string(i)) << "entry " << i;
  }
}

struct NumericCase {
  const char* text;
  bool numeric;
  int saved;
};

const NumericCase kNumericCases[] = {
    {"", false, 0},
    {"7", true, 7},
    {"2.5", true, 2},
    {"3.5", true, 4},
    {"abc", false, 0},
    {"40000", true, 0},
    {"-40000", true, 0},
    {"32767", true, 32767},
    {"-32768", true, -32768},
    {"32767.5", true, 0},
    {"-32768.5", true, -32768},
    {"  12  ", true, 12},
    {"+3", true, 3},
    {"-0.5", true, 0},
    {"1.5", true, 2},
    {".5", true, 0},
    {"7.", true, 7},
    {"1e2", true, 100},
    {"1D1", true, 10},
    {"1e", false, 0},
    {"1e999", true, 0},
    {".", false, 0},
    {"+", false, 0},
    {"7a", false, 0},
    {"1.2.3", false, 0},
    {"&H1F", true, 31},
    {"&HFFFF", true, -1},
    {"&o17", true, 15},
    {"&H", false, 0},
    {"&O8", false, 0},
    {"&H10000", true, 0},
    {"1 2", false, 0},
};

TEST(RepeatCombo, NumericTestAndSavedValue) {
  for (const NumericCase& c : kNumericCases) {
    EXPECT_EQ(isNumericText(c.text), c.numeric) << "text \"" << c.text << "\"";
    EXPECT_EQ(repeatFromText(c.text), c.saved) << "text \"" << c.text << "\"";
  }
}

struct RowCase {
  int y;
  int height;
  int v;
};

const RowCase kRowCases[] = {
    {0, 246, 0},    {123, 246, 220}, {246, 246, 0}, {61, 246, 155},
    {25, 100, 156}, {50, 100, 220},  {1, 1, 0},     {0, 0, 0},
};

TEST(Background, RowColourFollowsHalfASineWave) {
  for (const RowCase& c : kRowCases) {
    const RowColour colour = backgroundRowColour(c.y, c.height);
    EXPECT_EQ(colour.red, c.v) << "row " << c.y << " of " << c.height;
    EXPECT_EQ(colour.green, c.v) << "row " << c.y << " of " << c.height;
    EXPECT_EQ(colour.blue, c.v + 30) << "row " << c.y << " of " << c.height;
  }
}

TEST(Background, BrightestAtMidHeightForAnyHeight) {
  for (int height : {20, 246, 501, 1000}) {
    int brightestRow = 0;
    for (int y = 0; y <= height; ++y) {
      if (backgroundRowColour(y, height).red > backgroundRowColour(brightestRow, height).red) {
        brightestRow = y;
      }
    }
    EXPECT_NEAR(brightestRow, height / 2, 1 + height / 40) << "height " << height;
  }
}

TEST(TileTexture, CopiesColumnByColumnPastBothEdges) {
  // A 469 x 165 panel and the 556 x 20 strip: one column of rows 0..180 (the first row
  // past 165 is 180), then a second column starting past the width, which ends it.
  const std::vector<PixelPoint> positions = tileCopyPositions(469, 165, 556, 20);
  std::vector<PixelPoint> expected;
  for (int x : {0, 556}) {
    for (int y = 0; y <= 180; y += 20) {
      expected.push_back(PixelPoint{x, y});
    }
  }
  EXPECT_EQ(positions, expected);
}

TEST(TileTexture, ExactMultiplesStillCoverTheEdgeRowAndColumn) {
  const std::vector<PixelPoint> positions = tileCopyPositions(20, 20, 10, 10);
  const std::vector<PixelPoint> expected = {
      {0, 0},  {0, 10},  {0, 20},  {0, 30},  {10, 0}, {10, 10}, {10, 20}, {10, 30},
      {20, 0}, {20, 10}, {20, 20}, {20, 30}, {30, 0}, {30, 10}, {30, 20}, {30, 30}};
  EXPECT_EQ(positions, expected);
}

TEST(TileTexture, EmptyStripIsNeverCopied) {
  EXPECT_TRUE(tileCopyPositions(100, 100, 0, 20).empty());
  EXPECT_TRUE(tileCopyPositions(100, 100, 556, 0).empty());
}

struct PlaceCase {
  int screenWidth, screenHeight, windowWidth, windowHeight;
  int left, top;
};

const PlaceCase kPlaceCases[] = {
    {15360, 11520, 7500, 4095, 3930, 2475},  // 1024 x 768 at 96 dpi
    {15360, 11520, 7501, 4096, 3929, 2474},  // odd remainders are cut
    {7000, 3000, 7500, 4095, -250, -365},    // a screen smaller than the window
    {1000, 1000, 1000, 1000, 0, 0},
};

TEST(Placement, CentredAcrossAndOneThirdDown) {
  for (const PlaceCase& c : kPlaceCases) {
    const PixelPoint place =
        dialogPosition(c.screenWidth, c.screenHeight, c.windowWidth, c.windowHeight);
    EXPECT_EQ(place.x, c.left) << "screen " << c.screenWidth << "x" << c.screenHeight;
    EXPECT_EQ(place.y, c.top) << "screen " << c.screenWidth << "x" << c.screenHeight;
  }
}

}  // namespace
}  // namespace Sorvanta_P
