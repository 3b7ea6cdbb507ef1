// The preview form's two 152 x 112 pictures: frames of the saver's own scene, drawn
// off-screen at the saver's 1024 x 768 and scaled down by area averaging.
#pragma once

#include <string>
#include <vector>

#include "dialog_pictures.h"
#include "picture_files.h"

namespace sorvanta::tools {

inline constexpr int kSceneWidth = 1024;
inline constexpr int kSceneHeight = 768;
inline constexpr int kPreviewWidth = 152;
inline constexpr int kPreviewHeight = 112;

// Texture pictures for the scene (TGA files); empty paths draw it untextured.
struct SceneImages {
  std::string stone;
  std::string desktop;
};

// Scales a picture down: every target pixel is the average of the source area it
// covers, partly covered source pixels weighted by the part they give.
Picture scaleDownByArea(const Picture& source, int width, int height);

// The scene after the given number of frames (one sixtieth of a second of motion and
// one degree of turn each), at 1024 x 768. An empty picture when no context is made.
Picture renderSceneFrame(const SceneImages& images, int frames);

// preview_form.bmp (the form's background picture) and preview_image.bmp (Img_Prev).
std::vector<AssetFile> previewPictureFiles(const SceneImages& images);

}  // namespace sorvanta::tools
