// The pictures that show Sorvanta where people first meet it: the installer's side
// picture (welcome and finish pages, 164 x 314) and header picture (the inner pages,
// 150 x 57), and the README's still frame. Each is the saver's own scene, drawn
// off-screen at 1024 x 768 with the stone texture on the balls and a sample desktop
// on the floor, as a run over that desktop shows it, cut and scaled down by area.
#pragma once

#include <string>
#include <vector>

#include "dialog_pictures.h"
#include "picture_files.h"

namespace sorvanta::tools {

// A stand-in for a user's desktop at 1024 x 768: a blue wallpaper, icons, two windows
// and a task bar, from fixed numbers.
Picture sampleDesktop();

// The part of a picture from (left, top), width x height.
Picture cropPicture(const Picture& source, int left, int top, int width, int height);

// The pictures, named by their paths in the repository; empty when the scene could not
// be drawn. The sample desktop is written into workFolder as the floor's TGA file.
std::vector<AssetFile> showcasePictureFiles(const std::string& stoneTga,
                                            const std::string& workFolder);

}  // namespace sorvanta::tools
