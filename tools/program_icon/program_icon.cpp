#include "program_icon.h"

#include <algorithm>
#include <cmath>

#include "icon_file.h"

namespace sorvanta::tools {
namespace {

struct Colour {
  double red, green, blue;
};

constexpr Colour kNavy{0x00, 0x00, 0x30};
constexpr Colour kGlass{0x90, 0xA8, 0xD0};
constexpr double kCornerRadius = 3.0;  // of the navy tile, in the 32-pixel design's units
constexpr double kGlassTint = 0.12;    // how much the glass inside the box shows

struct Ball {
  double x, y, r;  // in the 32-pixel design's units
  Colour colour;
};

constexpr Ball kBalls[] = {{12.0, 19.0, 4.2, {0xE0, 0x30, 0x30}},
                           {20.5, 14.0, 4.2, {0x30, 0xC0, 0x40}},
                           {19.0, 23.0, 3.6, {0xF0, 0xD0, 0x30}}};

Colour mix(const Colour& a, const Colour& b, double share) {
  return {a.red + (b.red - a.red) * share, a.green + (b.green - a.green) * share,
          a.blue + (b.blue - a.blue) * share};
}

// The box's four glass bars, snapped to whole pixels of this size and at least one
// pixel wide, so that the small sizes stay sharp.
struct Box {
  double left, right, top, bottom, bar;
  explicit Box(int size) {
    const double scale = size / 32.0;
    bar = std::max(1.0, std::round(scale));
    left = std::round(4 * scale);
    right = std::round(28 * scale);
    top = std::round(6 * scale);
    bottom = std::round(29 * scale);
  }
  bool inside(double x, double y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool onBar(double x, double y) const {
    return inside(x, y) &&
           (x < left + bar || x >= right - bar || y < top + bar || y >= bottom - bar);
  }
};

// Lit from the top left as in the 32-pixel design, with a small white highlight.
Colour ballColour(const Ball& ball, double x, double y) {
  const double toLight = std::hypot(x - (ball.x - 1.5), y - (ball.y - 1.5));
  const double light = 1.0 - 0.5 * toLight / (ball.r + 1.5);
  const Colour lit{ball.colour.red * light + 40 * (1 - light),
                   ball.colour.green * light + 40 * (1 - light),
                   ball.colour.blue * light + 40 * (1 - light)};
  const double shine = std::max(0.0, 1.0 - toLight / (0.4 * ball.r));
  return mix(lit, {255, 255, 255}, 0.7 * shine * shine);
}

bool insideTile(double x, double y) {
  const double cx = std::clamp(x, kCornerRadius, 32 - kCornerRadius);
  const double cy = std::clamp(y, kCornerRadius, 32 - kCornerRadius);
  return std::hypot(x - cx, y - cy) <= kCornerRadius;
}

// One sample at a point of the picture (px, py in its pixels); false outside the tile.
bool sample(const Box& box, double scale, double px, double py, Colour& colour) {
  const double x = px / scale;
  const double y = py / scale;
  if (!insideTile(x, y)) {
    return false;
  }
  colour = box.inside(px, py) ? mix(kNavy, kGlass, kGlassTint) : kNavy;
  if (box.onBar(px, py)) {
    colour = kGlass;
  }
  for (const Ball& ball : kBalls) {
    if (std::hypot(x - ball.x, y - ball.y) < ball.r) {
      colour = ballColour(ball, x, y);
    }
  }
  return true;
}

std::uint8_t toByte(double value) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

}  // namespace

RgbaPicture programIcon(int size) {
  constexpr int kSamples = 8;  // a side: 64 samples a pixel smooth the edges
  const double scale = size / 32.0;
  const Box box(size);
  RgbaPicture icon(size, size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      Colour sum{0, 0, 0};
      int covered = 0;
      for (int j = 0; j < kSamples; ++j) {
        for (int i = 0; i < kSamples; ++i) {
          Colour colour{};
          if (sample(box, scale, x + (i + 0.5) / kSamples, y + (j + 0.5) / kSamples, colour)) {
            sum = {sum.red + colour.red, sum.green + colour.green, sum.blue + colour.blue};
            ++covered;
          }
        }
      }
      if (covered == 0) {
        continue;  // fully transparent
      }
      std::uint8_t* p = icon.at(x, y);
      p[0] = toByte(sum.red / covered);
      p[1] = toByte(sum.green / covered);
      p[2] = toByte(sum.blue / covered);
      p[3] = toByte(255.0 * covered / (kSamples * kSamples));
    }
  }
  return icon;
}

std::vector<std::uint8_t> programIconFile() {
  std::vector<RgbaPicture> pictures;
  for (int size : kProgramIconSizes) {
    pictures.push_back(programIcon(size));
  }
  return iconBytes(pictures);
}

}  // namespace sorvanta::tools
