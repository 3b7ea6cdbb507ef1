#include "saver/controls/command_face.h"

#include <limits>

namespace sorvanta::controls {

namespace {

constexpr int kCorner = 60;
constexpr int kSkinWidth = kSkinWidthPixels * kTwipsPerStandardPixel;    // 960
constexpr int kSkinHeight = kSkinHeightPixels * kTwipsPerStandardPixel;  // 375
constexpr int kEdgeWidth = kSkinWidth - 2 * kCorner;                     // 840
constexpr int kEdgeHeight = kSkinHeight - 2 * kCorner;                   // 255

// Size arithmetic of the face is 16-bit signed; a value outside it fails its step.
bool Fits16(long value) {
  return value >= std::numeric_limits<std::int16_t>::min() &&
         value <= std::numeric_limits<std::int16_t>::max();
}

bool Fits16(const TwipRect& r) {
  return Fits16(r.x) && Fits16(r.y) && Fits16(r.width) && Fits16(r.height);
}

// The face's lengths come from its window's pixels at 15 twips each, and its own
// offsets are at most one twip off a whole pixel, so the layout's nearest-pixel rule
// gives the pixels that rounding down would.
int FacePixels(double twips) {
  return pixelsFromTwips(twips, kStandardDotsPerInch);
}

struct PieceTwips {
  TwipRect source;
  TwipRect destination;
};

std::array<PieceTwips, 8> PieceLayout(long w, long h) {
  const int W = static_cast<int>(w), H = static_cast<int>(h);
  return {{
      {{0, 0, kCorner, kCorner}, {1, 1, kCorner, kCorner}},
      {{kCorner, 1, kEdgeWidth, kCorner}, {kCorner, 1, W - 2 * kCorner, kCorner}},
      {{kSkinWidth - kCorner, 1, kCorner, kCorner}, {W - kCorner, 1, kCorner, kCorner}},
      {{kSkinWidth - kCorner, kCorner, kCorner, kEdgeHeight},
       {W - kCorner, kCorner, kCorner, H - 2 * kCorner}},
      {{kSkinWidth - kCorner, kSkinHeight - kCorner, kCorner, kCorner},
       {W - kCorner, H - kCorner, kCorner, kCorner}},
      {{kCorner, kSkinHeight - kCorner, kEdgeWidth, kCorner},
       {kCorner, H - kCorner, W - 2 * kCorner, kCorner}},
      {{0, kSkinHeight - kCorner, kCorner, kCorner}, {1, H - kCorner, kCorner, kCorner}},
      {{1, kCorner, kCorner, kEdgeHeight}, {1, kCorner, kCorner, H - 2 * kCorner}},
  }};
}

// The operands each piece's destination depends on: W for 2..6, H for 4..8.
bool OperandsFit(int number, long w, long h) {
  const bool usesW = number >= 2 && number <= 6;
  const bool usesH = number >= 4 && number <= 8;
  return (!usesW || Fits16(w)) && (!usesH || Fits16(h));
}

// The results, computed wide so that an overflow can be seen.
bool ResultsFit(int number, long w, long h) {
  switch (number) {
    case 2:
    case 6:
      return Fits16(w - 2 * kCorner) && (number == 2 || Fits16(h - kCorner));
    case 3:
      return Fits16(w - kCorner);
    case 4:
      return Fits16(w - kCorner) && Fits16(h - 2 * kCorner);
    case 5:
      return Fits16(w - kCorner) && Fits16(h - kCorner);
    case 7:
      return Fits16(h - kCorner);
    case 8:
      return Fits16(h - 2 * kCorner);
    default:
      return true;
  }
}

}  // namespace

const char* SkinName(Skin skin) {
  switch (skin) {
    case Skin::Normal:
      return "Normal";
    case Skin::HighLight:
      return "HighLight";
    case Skin::HighLightSelect:
      return "HighLightSelect";
    case Skin::Selected:
      return "Selected";
    case Skin::Pressed:
      return "Pressed";
    case Skin::Disable:
      return "Disable";
  }
  return "Normal";
}

PixelRect ToPixels(const TwipRect& t) {
  const int left = FacePixels(t.x);
  const int top = FacePixels(t.y);
  const int right = FacePixels(t.x + t.width);
  const int bottom = FacePixels(t.y + t.height);
  return {left, top, right - left, bottom - top};
}

FacePieces PiecesFor(int widthTwips, int heightTwips) {
  FacePieces result;
  const long w = widthTwips, h = heightTwips;
  const auto layout = PieceLayout(Fits16(w) ? w : 0, Fits16(h) ? h : 0);
  for (int i = 0; i < 8; ++i) {
    const int number = i + 1;
    if (!OperandsFit(number, w, h) || !ResultsFit(number, w, h))
      continue;
    const PieceTwips& piece = layout[i];
    if (!Fits16(piece.destination))
      continue;
    const PixelRect destination = ToPixels(piece.destination);
    if (destination.width <= 0 || destination.height <= 0)
      continue;
    result.pieces[result.count++] = {number, ToPixels(piece.source), destination};
  }
  return result;
}

std::optional<Colour16> ParseGradientColour(const std::string& text) {
  if (text.size() != 8 || text[0] != '&' || (text[1] != 'H' && text[1] != 'h')) {
    return std::nullopt;
  }
  std::uint16_t channels[3] = {};
  for (int c = 0; c < 3; ++c) {
    int level = 0;
    for (int d = 0; d < 2; ++d) {
      const char ch = text[2 + 2 * c + d];
      int digit;
      if (ch >= '0' && ch <= '9') {
        digit = ch - '0';
      } else if (ch >= 'A' && ch <= 'F') {
        digit = ch - 'A' + 10;
      } else if (ch >= 'a' && ch <= 'f') {
        digit = ch - 'a' + 10;
      } else {
        return std::nullopt;
      }
      level = level * 16 + digit;
    }
    channels[c] = static_cast<std::uint16_t>(level << 8);  // the pair widened with "00"
  }
  return Colour16{channels[0], channels[1], channels[2]};
}

GradientFill GradientFor(int widthTwips, int heightTwips, bool reversed) {
  // The colour texts are constants of the control and always parse.
  const Colour16 light = ParseGradientColour(kGradientLight).value_or(Colour16{});
  const Colour16 dark = ParseGradientColour(kGradientDark).value_or(Colour16{});
  GradientFill fill;
  fill.x1 = FacePixels(widthTwips) - 1;
  fill.y1 = FacePixels(heightTwips) - 1;
  fill.top = reversed ? dark : light;
  fill.bottom = reversed ? light : dark;
  return fill;
}

PixelRect CaptionArea(int widthTwips, int heightTwips) {
  const double topTwips = (static_cast<double>(heightTwips) - kCaptionHeightTwips - 20) / 2.0;
  return {0, FacePixels(topTwips), FacePixels(widthTwips), FacePixels(kCaptionHeightTwips)};
}

}  // namespace sorvanta::controls
