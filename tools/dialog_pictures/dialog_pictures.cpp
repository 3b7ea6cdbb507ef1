#include "dialog_pictures.h"

#include <algorithm>
#include <cmath>

namespace sorvanta::tools {
namespace {

constexpr Rgb kPanelGrey{0xE0, 0xE0, 0xE0};
constexpr Rgb kStripLeft{0xDF, 0xD7, 0xDF};
constexpr Rgb kStripRight{0xB0, 0xA8, 0xAF};
constexpr int kStripGrain = 6;  // the grain moves a pixel up to this much either way

// A fixed pseudo-random sequence for the strip's grain.
class Grain {
 public:
  int next(int spread) {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) % (2u * spread + 1u)) - spread;
  }

 private:
  std::uint32_t state_ = 20261208u;
};

std::uint8_t clampByte(int value) {
  return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

int mix(int left, int right, int step, int steps) {
  return static_cast<int>(std::lround(left + (right - left) * double(step) / steps));
}

double distance(double x, double y, double cx, double cy) {
  return std::hypot(x - cx, y - cy);
}

}  // namespace

Picture choiceMark(bool chosen) {
  constexpr Rgb kRing{0x40, 0x40, 0x48};
  constexpr Rgb kInside{0xFF, 0xFF, 0xFF};
  constexpr Rgb kDot{0x1C, 0x1C, 0x60};
  Picture mark(12, 12, kPanelGrey);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) {
      const double d = distance(x + 0.5, y + 0.5, 6.0, 6.0);
      if (chosen && d < 2.6) {
        mark.at(x, y) = kDot;
      } else if (d < 4.6) {
        mark.at(x, y) = kInside;
      } else if (d < 5.9) {
        mark.at(x, y) = kRing;
      }
    }
  }
  return mark;
}

Picture panelStrip() {
  constexpr int kWidth = 556;
  constexpr int kHeight = 20;
  Picture strip(kWidth, kHeight);
  Grain grain;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const int shift = grain.next(kStripGrain);
      strip.at(x, y) =
          Rgb{clampByte(mix(kStripLeft.red, kStripRight.red, x, kWidth - 1) + shift),
              clampByte(mix(kStripLeft.green, kStripRight.green, x, kWidth - 1) + shift),
              clampByte(mix(kStripLeft.blue, kStripRight.blue, x, kWidth - 1) + shift)};
    }
  }
  return strip;
}

// A glass box on navy with three coloured balls: the saver's scene in small.
Picture windowIcon() {
  constexpr Rgb kNavy{0x00, 0x00, 0x30};
  constexpr Rgb kGlass{0x90, 0xA8, 0xD0};
  struct Ball {
    double x, y, r;
    Rgb colour;
  };
  const Ball balls[] = {{12.0, 19.0, 4.2, {0xE0, 0x30, 0x30}},
                        {20.5, 14.0, 4.2, {0x30, 0xC0, 0x40}},
                        {19.0, 23.0, 3.6, {0xF0, 0xD0, 0x30}}};
  Picture icon(32, 32, kNavy);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const bool edge = (x == 4 || x == 27) && y >= 6 && y <= 28;
      const bool rim = (y == 6 || y == 28) && x >= 4 && x <= 27;
      if (edge || rim) {
        icon.at(x, y) = kGlass;
      }
      for (const Ball& ball : balls) {
        const double d = distance(x + 0.5, y + 0.5, ball.x, ball.y);
        if (d < ball.r) {
          // Lit from the top left: brighter towards the highlight.
          const double light =
              1.0 - 0.5 * distance(x + 0.5, y + 0.5, ball.x - 1.5, ball.y - 1.5) / (ball.r + 1.5);
          icon.at(x, y) = Rgb{clampByte(int(ball.colour.red * light + 40 * (1 - light))),
                              clampByte(int(ball.colour.green * light + 40 * (1 - light))),
                              clampByte(int(ball.colour.blue * light + 40 * (1 - light)))};
        }
      }
    }
  }
  return icon;
}

// A pointing hand whose fingertip is the hot spot (12, 10).
CursorPicture linkCursor() {
  CursorPicture cursor;
  cursor.hotSpotX = 12;
  cursor.hotSpotY = 10;
  cursor.pixels.assign(32 * 32, CursorPixel::Transparent);
  auto inHand = [](int x, int y) {
    const bool finger = x >= 11 && x <= 14 && y >= 10 && y <= 20;
    const bool knuckles =
        x >= 11 && x <= 23 && y >= 16 && y <= 21 && !((x == 17 || x == 20) && y == 16);
    const bool palm = x >= 11 && x <= 23 && y >= 20 && y <= 28;
    const bool thumb = x >= 8 && x <= 11 && y >= 19 && y <= 24 && x + 19 >= y + 8;
    return finger || knuckles || palm || thumb;
  };
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (!inHand(x, y)) {
        continue;
      }
      const bool outline = !inHand(x - 1, y) || !inHand(x + 1, y) || !inHand(x, y - 1) ||
                           !inHand(x, y + 1) ||
                           ((x == 15 || x == 18 || x == 21) && y > 16 && y < 21);
      cursor.pixels[std::size_t(y) * 32 + x] = outline ? CursorPixel::Black : CursorPixel::White;
    }
  }
  return cursor;
}

std::vector<AssetFile> dialogPictureFiles() {
  return {{"mark_not_chosen.bmp", bmpBytes(choiceMark(false))},
          {"mark_chosen.bmp", bmpBytes(choiceMark(true))},
          {"panel_strip.bmp", bmpBytes(panelStrip())},
          {"window_icon.ico", icoBytes(windowIcon())},
          {"link_cursor.cur", curBytes(linkCursor())}};
}

}  // namespace sorvanta::tools
