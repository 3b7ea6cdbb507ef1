// Piece rectangles, gradient colours and caption placement of the button face.
#include <gtest/gtest.h>

#include "saver/controls/command.h"
#include "saver/controls/command_face.h"
#include "tests/saver/controls/recording_painter.h"

namespace sorvanta::controls {
namespace {

std::string Describe(const PixelRect& r) {
  return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
         std::to_string(r.height);
}

struct PieceCase {
  int number;
  PixelRect source;
  PixelRect destination;
};

// A 80 x 40 pixel button (1200 x 600 twips).
TEST(CommandPieces, EightPiecesForA1200By600Button) {
  const PieceCase expected[] = {
      {1, {0, 0, 4, 4}, {0, 0, 4, 4}},     {2, {4, 0, 56, 4}, {4, 0, 72, 4}},
      {3, {60, 0, 4, 4}, {76, 0, 4, 4}},   {4, {60, 4, 4, 17}, {76, 4, 4, 32}},
      {5, {60, 21, 4, 4}, {76, 36, 4, 4}}, {6, {4, 21, 56, 4}, {4, 36, 72, 4}},
      {7, {0, 21, 4, 4}, {0, 36, 4, 4}},   {8, {0, 4, 4, 17}, {0, 4, 4, 32}},
  };
  const FacePieces pieces = PiecesFor(1200, 600);
  ASSERT_EQ(pieces.count, 8);
  for (int i = 0; i < 8; ++i) {
    const FacePiece& got = pieces.pieces[i];
    EXPECT_EQ(got.number, expected[i].number);
    EXPECT_EQ(got.source, expected[i].source)
        << "piece " << got.number << " source " << Describe(got.source);
    EXPECT_EQ(got.destination, expected[i].destination)
        << "piece " << got.number << " destination " << Describe(got.destination);
  }
}

TEST(CommandPieces, SourcesNeverTouchTheCentreOfTheSkin) {
  const FacePieces pieces = PiecesFor(1200, 600);
  for (int i = 0; i < pieces.count; ++i) {
    const PixelRect& s = pieces.pieces[i].source;
    const bool insideCentre = s.x >= 4 && s.x + s.width <= 60 && s.y >= 4 && s.y + s.height <= 21;
    EXPECT_FALSE(insideCentre) << "piece " << pieces.pieces[i].number;
    EXPECT_LE(s.x + s.width, 64) << "piece " << pieces.pieces[i].number;
    EXPECT_LE(s.y + s.height, 25) << "piece " << pieces.pieces[i].number;
  }
}

struct SizeCase {
  const char* name;
  int width, height;
  std::vector<int> numbers;  // pieces that are copied
};

class CommandPieceSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(CommandPieceSizes, CopiesOnlyPiecesThatCanShow) {
  const SizeCase& c = GetParam();
  const FacePieces pieces = PiecesFor(c.width, c.height);
  std::vector<int> numbers;
  for (int i = 0; i < pieces.count; ++i)
    numbers.push_back(pieces.pieces[i].number);
  EXPECT_EQ(numbers, c.numbers) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CommandPieceSizes,
    ::testing::Values(
        SizeCase{"SkinSize", 960, 375, {1, 2, 3, 4, 5, 6, 7, 8}},
        SizeCase{"Width120HasNoTopOrBottomEdge", 120, 375, {1, 3, 4, 5, 7, 8}},
        SizeCase{"Height120HasNoSideEdges", 960, 120, {1, 2, 3, 5, 6, 7}},
        SizeCase{"Square120ShowsOnlyCorners", 120, 120, {1, 3, 5, 7}},
        SizeCase{"NarrowerThan120MirrorsNothing", 90, 375, {1, 3, 4, 5, 7, 8}},
        // 33000 twips (2200 pixels) is past 16 bits: every step that uses the width fails.
        SizeCase{"WidthOverflowSkipsWidthSteps", 33000, 375, {1, 7, 8}},
        SizeCase{"HeightOverflowSkipsHeightSteps", 960, 33000, {1, 2, 3}},
        SizeCase{"LargestWidthStillFits", 32767, 375, {1, 2, 3, 4, 5, 6, 7, 8}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CommandPieces, ZeroSizedMiddleEdgesLeaveOnlyCornersPainted) {
  RecordingPainter painter;
  Command button(painter);
  button.resize(120, 120);
  ASSERT_EQ(painter.paints.size(), 1u);
  EXPECT_EQ(painter.paints[0].pieces.size(), 4u);
  for (const FacePiece& piece : painter.paints[0].pieces) {
    EXPECT_EQ(piece.destination.width, 4);
    EXPECT_EQ(piece.destination.height, 4);
  }
}

TEST(CommandPieces, OverflowingSizeStillPaintsTheRestOfTheFace) {
  RecordingPainter painter;
  Command button(painter);
  button.resize(33000, 375);
  ASSERT_EQ(painter.paints.size(), 1u);
  EXPECT_TRUE(painter.paints[0].gradientDone);
  EXPECT_EQ(painter.paints[0].pieces.size(), 3u);
  EXPECT_EQ(painter.paints[0].refreshes, 2);
}

struct ColourCase {
  const char* text;
  bool valid;
  Colour16 expected;
};

class CommandColourText : public ::testing::TestWithParam<ColourCase> {};

TEST_P(CommandColourText, ReadsPairsAsRedGreenBlue) {
  const ColourCase& c = GetParam();
  const auto colour = ParseGradientColour(c.text);
  ASSERT_EQ(colour.has_value(), c.valid) << c.text;
  if (!c.valid)
    return;
  EXPECT_EQ(colour->red, c.expected.red) << c.text << " red";
  EXPECT_EQ(colour->green, c.expected.green) << c.text << " green";
  EXPECT_EQ(colour->blue, c.expected.blue) << c.text << " blue";
}

INSTANTIATE_TEST_SUITE_P(Texts, CommandColourText,
                         ::testing::Values(ColourCase{"&HFFFFFF", true, {0xFF00, 0xFF00, 0xFF00}},
                                           ColourCase{"&HC6C5D7", true, {0xC600, 0xC500, 0xD700}},
                                           ColourCase{"&H0A0b0c", true, {0x0A00, 0x0B00, 0x0C00}},
                                           ColourCase{"&HC6C5D", false, {}},
                                           ColourCase{"#C6C5D7", false, {}},
                                           ColourCase{"&HC6C5DG", false, {}}));

TEST(CommandGradientFill, VerticesSpanTheFaceInPixels) {
  const GradientFill fill = GradientFor(1200, 600, false);
  EXPECT_EQ(fill.x0, 0);
  EXPECT_EQ(fill.y0, 0);
  EXPECT_EQ(fill.x1, 79);
  EXPECT_EQ(fill.y1, 39);
  EXPECT_EQ(fill.bottom.red, 0xC600) << "lavender-grey: red C6";
  EXPECT_EQ(fill.bottom.blue, 0xD700) << "lavender-grey: blue D7";
  const GradientFill reversed = GradientFor(1200, 600, true);
  EXPECT_TRUE(reversed.top == fill.bottom);
  EXPECT_TRUE(reversed.bottom == fill.top);
}

struct CaptionCase {
  int width, height;
  PixelRect expected;
};

class CommandCaption : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(CommandCaption, CentredVertically) {
  const CaptionCase& c = GetParam();
  EXPECT_EQ(CaptionArea(c.width, c.height), c.expected)
      << c.width << "x" << c.height << " got " << Describe(CaptionArea(c.width, c.height));
}

INSTANTIATE_TEST_SUITE_P(Sizes, CommandCaption,
                         ::testing::Values(CaptionCase{960, 375, {0, 5, 64, 13}},
                                           CaptionCase{1800, 600, {0, 13, 120, 13}},
                                           // (120 - 215) / 2 is negative: above the face.
                                           CaptionCase{120, 120, {0, -3, 8, 13}}));

}  // namespace
}  // namespace sorvanta::controls
