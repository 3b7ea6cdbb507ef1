#include "saver/capture/wallpaper_layout.h"

#include <cstdlib>

#include "saver/text/ascii_text.h"

namespace sorvanta::capture {

namespace {

// Where the picture lands on the screen: its scaled size and its top-left corner, which
// may lie off the screen (the part there is cut).
struct Placement {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// a * b / c rounded to the nearest whole number, for positive values.
int scaledRound(long long a, long long b, long long c) {
  return static_cast<int>((2 * a * b + c) / (2 * c));
}

// Scaled to touch the screen's sides (fit: the nearer pair, so all of it shows; fill:
// the farther pair, so none of the screen is left), centred.
Placement scaledToScreen(const WallpaperPicture& picture, int width, int height, bool fill) {
  // The picture is relatively wider than the screen when width/height < w/h.
  const bool wider = static_cast<long long>(width) * picture.height <
                     static_cast<long long>(height) * picture.width;
  Placement place{0, 0, width, height};
  if (wider != fill) {
    place.height = scaledRound(picture.height, width, picture.width);
  } else {
    place.width = scaledRound(picture.width, height, picture.height);
  }
  place.left = (width - place.width) / 2;
  place.top = (height - place.height) / 2;
  return place;
}

Placement placementOf(const WallpaperPicture& picture, int width, int height,
                      WallpaperStyle style) {
  switch (style) {
    case WallpaperStyle::Stretch:
      return {0, 0, width, height};
    case WallpaperStyle::Fit:
      return scaledToScreen(picture, width, height, false);
    case WallpaperStyle::Fill:
    case WallpaperStyle::Span:
      return scaledToScreen(picture, width, height, true);
    case WallpaperStyle::Centre:
    case WallpaperStyle::Tile:
      break;
  }
  return {(width - picture.width) / 2, (height - picture.height) / 2, picture.width,
          picture.height};
}

// The source index under the centre of each of `count` screen pixels from `start` on, of
// a picture `size` long scaled to `scaled`; -1 where the scaled picture does not reach.
std::vector<int> sourceIndices(int start, int count, int scaled, int size, bool repeat) {
  std::vector<int> indices(static_cast<std::size_t>(count), -1);
  for (int i = 0; i < count; ++i) {
    const int along = i - start;
    if (repeat) {
      indices[static_cast<std::size_t>(i)] = i % size;
    } else if (along >= 0 && along < scaled) {
      indices[static_cast<std::size_t>(i)] =
          static_cast<int>((2LL * along + 1) * size / (2LL * scaled));
    }
  }
  return indices;
}

}  // namespace

WallpaperStyle wallpaperStyleOf(const std::string& wallpaperStyle,
                                const std::string& tileWallpaper) {
  char* end = nullptr;
  const long style = std::strtol(wallpaperStyle.c_str(), &end, 10);
  switch (end != wallpaperStyle.c_str() ? style : 0) {
    case 2:
      return WallpaperStyle::Stretch;
    case 6:
      return WallpaperStyle::Fit;
    case 10:
      return WallpaperStyle::Fill;
    case 22:
      return WallpaperStyle::Span;
    default:
      return std::strtol(tileWallpaper.c_str(), nullptr, 10) == 1 ? WallpaperStyle::Tile
                                                                  : WallpaperStyle::Centre;
  }
}

WallpaperPicture arrangeWallpaper(const WallpaperPicture& wallpaper, int screenWidth,
                                  int screenHeight, WallpaperStyle style,
                                  std::uint32_t desktopColour) {
  WallpaperPicture screen;
  if (screenWidth <= 0 || screenHeight <= 0) {
    return screen;
  }
  screen.width = screenWidth;
  screen.height = screenHeight;
  screen.pixels.assign(static_cast<std::size_t>(screenWidth) * screenHeight, desktopColour);
  if (wallpaper.width <= 0 || wallpaper.height <= 0 ||
      wallpaper.pixels.size() != static_cast<std::size_t>(wallpaper.width) * wallpaper.height) {
    return screen;
  }
  const bool tile = style == WallpaperStyle::Tile;
  const Placement place = placementOf(wallpaper, screenWidth, screenHeight, style);
  const std::vector<int> columns =
      sourceIndices(place.left, screenWidth, place.width, wallpaper.width, tile);
  const std::vector<int> rows =
      sourceIndices(place.top, screenHeight, place.height, wallpaper.height, tile);
  for (int y = 0; y < screenHeight; ++y) {
    const int row = rows[static_cast<std::size_t>(y)];
    if (row < 0) {
      continue;
    }
    const std::uint32_t* source =
        &wallpaper.pixels[static_cast<std::size_t>(row) * wallpaper.width];
    std::uint32_t* target = &screen.pixels[static_cast<std::size_t>(y) * screenWidth];
    for (int x = 0; x < screenWidth; ++x) {
      const int column = columns[static_cast<std::size_t>(x)];
      if (column >= 0) {
        target[x] = source[column];
      }
    }
  }
  return screen;
}

bool isSecureSaverDesktop(const std::string& desktopName) {
  return Sorvanta_B::upperAscii(desktopName) == "SCREEN-SAVER";
}

}  // namespace sorvanta::capture
