// The button face's geometry and colours: which part of which skin goes where, the
// gradient behind it and the caption's place. Lengths are twips unless named pixels.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "saver/controls/length_units.h"

namespace sorvanta::controls {

enum class Skin { Normal, HighLight, HighLightSelect, Selected, Pressed, Disable };
constexpr int kSkinCount = 6;

// Resource and file base name of each skin ("Normal", "HighLight", ...).
const char* SkinName(Skin skin);

constexpr int kSkinWidthPixels = 64;
constexpr int kSkinHeightPixels = 25;
constexpr int kCaptionHeightTwips = 195;

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PixelRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

struct TwipRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// A rectangle in twips as pixels at the button's 15 twips a pixel; edges are converted
// separately so that pieces that meet in twips also meet in pixels.
PixelRect ToPixels(const TwipRect& twips);

// One of the eight rim pieces, both rectangles already in pixels.
struct FacePiece {
  int number = 0;  // 1..8, clockwise from the top-left corner
  PixelRect source;
  PixelRect destination;
};

// The pieces to copy for a face of the given size. A piece whose size arithmetic
// overflows 16 bits is left out (a failed step), and so is one with an empty or
// negative destination (it would show nothing, or a mirrored picture).
struct FacePieces {
  std::array<FacePiece, 8> pieces;
  int count = 0;
};
FacePieces PiecesFor(int widthTwips, int heightTwips);

// A 16-bit colour channel set: the 8-bit level in the high byte.
struct Colour16 {
  std::uint16_t red = 0, green = 0, blue = 0;
  bool operator==(const Colour16& o) const {
    return red == o.red && green == o.green && blue == o.blue;
  }
};

// Reads a colour text "&HRRGGBB" digit pair by digit pair as red, green, blue.
std::optional<Colour16> ParseGradientColour(const std::string& text);

inline constexpr const char* kGradientLight = "&HFFFFFF";
inline constexpr const char* kGradientDark = "&HC6C5D7";

// One vertical gradient rectangle between two vertices, in pixels.
struct GradientFill {
  int x0 = 0, y0 = 0;
  int x1 = 0, y1 = 0;
  Colour16 top, bottom;
};
GradientFill GradientFor(int widthTwips, int heightTwips, bool reversed);

// The caption label's area: left 0, the full width, vertically centred.
PixelRect CaptionArea(int widthTwips, int heightTwips);

}  // namespace sorvanta::controls
