#include "scene_app.h"

#include <utility>

#include "exchange/tga_layout.h"

namespace sorvanta {

SceneApp::ImagePaths SceneApp::exchangeImagePaths() {
  return ImagePaths{exchange::kStoneImagePath, exchange::kDesktopImagePath};
}

SceneApp::SceneApp() : SceneApp(exchangeImagePaths()) {}

SceneApp::SceneApp(ImagePaths paths) : imagePaths_(std::move(paths)) {}

SceneApp::~SceneApp() {
  freeMesh();
}

}  // namespace sorvanta
