// The floor of a run that cannot photograph the user's desktop: the user's wallpaper as
// Windows shows it with no window open (wallpaper_layout.h), drawn into a picture box,
// which SaveTGA then writes as it writes the photograph.
#pragma once

#include <string>

#include "saver/capture/offscreen_picture_win32.h"

namespace sorvanta::capture {

// The name of the desktop the calling thread runs on ("Default", "Screen-saver", ...);
// empty when Windows does not say.
std::string currentDesktopName();

// Sizes the picture to the screen and fills it with the wallpaper of SPI_GETDESKWALLPAPER,
// decoded by the Windows Imaging Component (JPEG, PNG, BMP, ...) and arranged by the
// user's WallpaperStyle and TileWallpaper; with the desktop colour (COLOR_DESKTOP) where
// there is no wallpaper or it cannot be read.
bool showWallpaper(OffscreenPicture& picture);

}  // namespace sorvanta::capture
