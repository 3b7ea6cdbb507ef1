#include "showcase_pictures.h"

#include <algorithm>
#include <cstring>

#include "png_file.h"
#include "preview_pictures.h"
#include "exchange/tga_layout.h"

namespace sorvanta::tools {
namespace {

// How far the scene has moved and turned in each picture (sixtieths of a second).
constexpr int kSideFrames = 150;
constexpr int kHeaderFrames = 150;
constexpr int kStillFrames = 150;

struct Area {
  int left, top, width, height;
};

void fill(Picture& picture, const Area& area, Rgb colour) {
  for (int y = std::max(0, area.top); y < std::min(picture.height, area.top + area.height); ++y) {
    for (int x = std::max(0, area.left); x < std::min(picture.width, area.left + area.width); ++x) {
      picture.at(x, y) = colour;
    }
  }
}

// A window: a frame, a title bar and lines of "text" in its body.
void drawWindow(Picture& desktop, const Area& area, Rgb title, int lines) {
  fill(desktop, area, Rgb{0x40, 0x48, 0x58});
  fill(desktop, {area.left + 2, area.top + 2, area.width - 4, area.height - 4},
       Rgb{0xF6, 0xF6, 0xF2});
  fill(desktop, {area.left + 2, area.top + 2, area.width - 4, 28}, title);
  for (int line = 0; line < lines; ++line) {
    const int length = area.width - 60 - (line * 37) % 140;
    fill(desktop, {area.left + 24, area.top + 52 + line * 26, length, 10}, Rgb{0x70, 0x78, 0x88});
  }
}

std::vector<std::uint8_t> tgaBytes(const Picture& picture) {
  const exchange::TgaHeader header =
      exchange::makeHeader(picture.width, picture.height, exchange::kImageTypeUncompressed);
  std::vector<std::uint8_t> out(sizeof header);
  std::memcpy(out.data(), &header, sizeof header);
  for (int y = picture.height - 1; y >= 0; --y) {  // bottom row first, blue-green-red
    for (int x = 0; x < picture.width; ++x) {
      const Rgb& p = picture.at(x, y);
      out.insert(out.end(), {p.blue, p.green, p.red});
    }
  }
  return out;
}

Picture sceneCut(const SceneImages& images, int frames, const Area& area, int width, int height) {
  const Picture frame = renderSceneFrame(images, frames);
  if (frame.width == 0) {
    return frame;
  }
  return scaleDownByArea(cropPicture(frame, area.left, area.top, area.width, area.height), width,
                         height);
}

}  // namespace

Picture sampleDesktop() {
  constexpr int kWidth = 1024;
  constexpr int kHeight = 768;
  Picture desktop(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    const auto green = static_cast<std::uint8_t>(60 + y * 120 / kHeight);
    fill(desktop, {0, y, kWidth, 1}, Rgb{20, green, 140});
  }
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 2; ++column) {
      fill(desktop, {24 + column * 90, 24 + row * 96, 48, 48},
           Rgb{230, static_cast<std::uint8_t>(200 - row * 30),
               static_cast<std::uint8_t>(60 + column * 120)});
    }
  }
  drawWindow(desktop, {620, 90, 340, 260}, Rgb{0xC0, 0x40, 0x30}, 7);
  drawWindow(desktop, {300, 160, 560, 400}, Rgb{0x00, 0x46, 0xA0}, 12);
  fill(desktop, {0, kHeight - 40, kWidth, 40}, Rgb{0xD8, 0xD8, 0xD8});
  fill(desktop, {8, kHeight - 34, 80, 28}, Rgb{0x00, 0x46, 0xA0});
  return desktop;
}

Picture cropPicture(const Picture& source, int left, int top, int width, int height) {
  Picture part(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      part.at(x, y) = source.at(left + x, top + y);
    }
  }
  return part;
}

std::vector<AssetFile> showcasePictureFiles(const std::string& stoneTga,
                                            const std::string& workFolder) {
  const std::string floor = workFolder + "/sample_desktop.tga";
  if (!writeFile(floor, tgaBytes(sampleDesktop()))) {
    return {};
  }
  const SceneImages images{stoneTga, floor};
  // The side picture: a tall cut through the box's middle; the header: a wide one.
  const Picture side = sceneCut(images, kSideFrames, {312, 0, 400, 766}, 164, 314);
  const Picture header = sceneCut(images, kHeaderFrames, {0, 120, 1024, 389}, 150, 57);
  const Picture still = sceneCut(images, kStillFrames, {0, 0, 1024, 768}, 640, 480);
  if (side.width == 0 || header.width == 0 || still.width == 0) {
    return {};
  }
  return {{"packaging/installer_side.bmp", bmpBytes(side, kPixelsPerMetre96Dpi)},
          {"packaging/installer_header.bmp", bmpBytes(header, kPixelsPerMetre96Dpi)},
          {"docs/scene.png", pngBytes(still)}};
}

}  // namespace sorvanta::tools
