// The desktop as Windows shows it with no window open: the wallpaper picture arranged
// at the screen's size as the user's WallpaperStyle and TileWallpaper say, over the
// desktop colour. The floor of a run that cannot photograph the user's desktop (a
// secure saver on its own desktop, or a failed grab). Portable; the registry, the
// decoder and the picture box are in wallpaper_win32.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sorvanta::capture {

enum class WallpaperStyle { Centre, Tile, Stretch, Fit, Fill, Span };

// The style from the texts of HKCU\Control Panel\Desktop: WallpaperStyle 0 (centre, or
// tile when TileWallpaper is 1), 2 stretch, 6 fit, 10 fill, 22 span. A missing or unknown
// value counts as 0, its default.
WallpaperStyle wallpaperStyleOf(const std::string& wallpaperStyle,
                                const std::string& tileWallpaper);

// A picture, top row first, one 0x00RRGGBB value a pixel (in memory blue, green, red,
// unused: Windows' 32-bit BGR).
struct WallpaperPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// The wallpaper at the screen's size. Scaled pictures take each pixel from the source
// pixel under its centre. Fit centres the whole picture on the desktop colour; fill
// centres it and cuts what overhangs; span on one screen is fill; centre keeps the
// picture's size, centred and cut; tile repeats it from the top-left corner. An empty
// wallpaper leaves the desktop colour.
WallpaperPicture arrangeWallpaper(const WallpaperPicture& wallpaper, int screenWidth,
                                  int screenHeight, WallpaperStyle style,
                                  std::uint32_t desktopColour);

// True on the desktop Windows runs a secure saver on ("Screen-saver", in any letter
// case), where a grab reads an empty desktop: the floor is then the wallpaper, and no
// window's content is photographed behind the lock.
bool isSecureSaverDesktop(const std::string& desktopName);

}  // namespace sorvanta::capture
