#include "preview_pictures.h"

#include <cmath>
#include <cstdint>

#include "offscreen_context.h"
#include "scene_app.h"

namespace sorvanta::tools {
namespace {

constexpr float kFrameSeconds = 1.0f / 60.0f;
constexpr int kFormPictureFrames = 0;
constexpr int kImagePictureFrames = 40;

// Weights of the source cells that one target cell covers along one axis.
struct Span {
  int first = 0;
  std::vector<double> weights;
};

std::vector<Span> spansAlong(int sourceLength, int targetLength) {
  const double scale = double(sourceLength) / targetLength;
  std::vector<Span> spans(static_cast<std::size_t>(targetLength));
  for (int t = 0; t < targetLength; ++t) {
    const double start = t * scale;
    const double end = start + scale;
    Span& span = spans[std::size_t(t)];
    span.first = static_cast<int>(std::floor(start));
    for (int s = span.first; s < sourceLength && s < end; ++s) {
      const double covered = std::fmin(end, s + 1.0) - std::fmax(start, double(s));
      span.weights.push_back(covered / scale);
    }
  }
  return spans;
}

std::uint8_t toByte(double value) {
  return static_cast<std::uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, value))));
}

// The context's RGBA rows, bottom row first, as a picture with its top row first.
Picture pictureFromPixels(const std::vector<std::uint8_t>& rgba, int width, int height) {
  Picture picture(width, height);
  for (int y = 0; y < height; ++y) {
    const std::size_t row = std::size_t(height - 1 - y) * width * 4;
    for (int x = 0; x < width; ++x) {
      const std::size_t at = row + std::size_t(x) * 4;
      picture.at(x, y) = Rgb{rgba[at], rgba[at + 1], rgba[at + 2]};
    }
  }
  return picture;
}

}  // namespace

Picture scaleDownByArea(const Picture& source, int width, int height) {
  const std::vector<Span> across = spansAlong(source.width, width);
  const std::vector<Span> down = spansAlong(source.height, height);
  Picture target(width, height);
  for (int y = 0; y < height; ++y) {
    const Span& rows = down[std::size_t(y)];
    for (int x = 0; x < width; ++x) {
      const Span& columns = across[std::size_t(x)];
      double red = 0.0, green = 0.0, blue = 0.0;
      for (std::size_t j = 0; j < rows.weights.size(); ++j) {
        for (std::size_t i = 0; i < columns.weights.size(); ++i) {
          const double weight = rows.weights[j] * columns.weights[i];
          const Rgb& p = source.at(columns.first + int(i), rows.first + int(j));
          red += p.red * weight;
          green += p.green * weight;
          blue += p.blue * weight;
        }
      }
      target.at(x, y) = Rgb{toByte(red), toByte(green), toByte(blue)};
    }
  }
  return target;
}

Picture renderSceneFrame(const SceneImages& images, int frames) {
  sorvanta::OffscreenContext context(kSceneWidth, kSceneHeight);
  if (!context.ready()) {
    return Picture(0, 0);
  }
  sorvanta::SceneApp app(sorvanta::SceneApp::ImagePaths{images.stone, images.desktop});
  if (!app.initScene()) {
    return Picture(0, 0);
  }
  app.resize(kSceneWidth, kSceneHeight);
  for (int frame = 0; frame < frames; ++frame) {
    app.update(kFrameSeconds);
    app.incrementViewAngle();
  }
  app.drawScene();
  Picture picture = pictureFromPixels(context.pixels(), kSceneWidth, kSceneHeight);
  app.releaseScene();
  return picture;
}

std::vector<AssetFile> previewPictureFiles(const SceneImages& images) {
  std::vector<AssetFile> files;
  for (const auto& [name, frames] :
       {std::pair<const char*, int>{"preview_form.bmp", kFormPictureFrames},
        {"preview_image.bmp", kImagePictureFrames}}) {
    const Picture frame = renderSceneFrame(images, frames);
    if (frame.width == 0) {
      return {};
    }
    files.push_back({name, bmpBytes(scaleDownByArea(frame, kPreviewWidth, kPreviewHeight))});
  }
  return files;
}

}  // namespace sorvanta::tools
