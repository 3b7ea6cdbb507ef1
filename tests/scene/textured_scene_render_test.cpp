// The whole scene drawn with its two textures, as a run shows it: a known desktop
// picture tiled over the floor and the stone texture as the balls' cube map, and the
// scene when either file is missing or malformed.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "offscreen_context.h"
#include "scene_app.h"
#include "scene_render_support.h"
#include "tga_test_files.h"

namespace sorvanta {
namespace {

using namespace rendertest;
using tgatest::Bytes;

// The known desktop: four quadrants of distinct colours, so that a floor tile shows
// which way up and which way round it lies.
constexpr Rgb kBottomLeft{220, 40, 40};
constexpr Rgb kBottomRight{40, 200, 60};
constexpr Rgb kTopLeft{40, 80, 220};
constexpr Rgb kTopRight{230, 200, 40};
constexpr Rgb kBlack{0, 0, 0};
constexpr int kDesktopWidth = 1024;
constexpr int kDesktopHeight = 768;

// u and v run from 0 to 1 across the picture, v = 0 at its bottom row.
Rgb desktopColour(double u, double v) {
  if (v < 0.5) {
    return u < 0.5 ? kBottomLeft : kBottomRight;
  }
  return u < 0.5 ? kTopLeft : kTopRight;
}

// The desktop as the front end writes it: type 2, 24 bits, bottom row first, BGR.
Bytes desktopFile() {
  Bytes file = tgatest::headerBytes({0, 0, 2, kDesktopWidth, kDesktopHeight, 24, 0});
  for (int row = 0; row < kDesktopHeight; ++row) {
    for (int column = 0; column < kDesktopWidth; ++column) {
      const Rgb c = desktopColour((column + 0.5) / kDesktopWidth, (row + 0.5) / kDesktopHeight);
      file.insert(file.end(), {static_cast<std::uint8_t>(c.b), static_cast<std::uint8_t>(c.g),
                               static_cast<std::uint8_t>(c.r)});
    }
  }
  return file;
}

Bytes whiteTextureFile() {
  return tgatest::concat(tgatest::headerBytes({0, 0, 2, 256, 256, 24, 0}),
                         Bytes(256 * 256 * 3, 255));
}

// One scene on a context of its own. Use one at a time: each makes its context current.
class SceneOnContext {
 public:
  explicit SceneOnContext(SceneApp::ImagePaths paths) : app(std::move(paths)) {}
  SceneOnContext(const SceneOnContext&) = delete;
  SceneOnContext& operator=(const SceneOnContext&) = delete;
  ~SceneOnContext() {
    if (initialised_) {
      app.releaseScene();
    }
  }

  bool init() {
    initialised_ = context_.ready() && app.initScene();
    if (initialised_) {
      app.resize(kWidth, kHeight);
    }
    return initialised_;
  }

  std::vector<std::uint8_t> drawScene() {
    app.drawScene();
    return context_.pixels();
  }

  // The direct balls alone over black: no glass, mirror or floor over or under them.
  std::vector<std::uint8_t> drawBallsOnly() {
    app.beginFrame();
    app.drawBalls(false);
    return context_.pixels();
  }

  SceneApp app;

 private:
  OffscreenContext context_{kWidth, kHeight};
  bool initialised_ = false;
};

// --- The floor ----------------------------------------------------------------------
//
// The floor quad spans x -100 ... 100 and z 75 ... -75 with texture coordinates 0 ... 5
// both ways: s = (x + 100) / 40, t = (75 - z) / 30, the picture's bottom row at t = 0.

enum class DesktopFile { desktop, missing, truncated };

struct FloorReport {
  int samples = 0;
  int mismatches = 0;
  std::set<std::pair<int, int>> tiles;
  std::string firstMismatch;
};

bool nearTileEdge(double fraction) {
  constexpr double kMargin = 0.08;
  return fraction < kMargin || fraction > 1.0 - kMargin || std::fabs(fraction - 0.5) < kMargin;
}

bool farFromColour(const Rgb& a, const Rgb& b, int tolerance) {
  return std::abs(a.r - b.r) > tolerance || std::abs(a.g - b.g) > tolerance ||
         std::abs(a.b - b.b) > tolerance;
}

// Is the floor pixel what the file should give? A textured floor shows the picture's
// colour exactly (GL_REPLACE); the untextured one is lit and shows none of them.
bool floorPixelFits(DesktopFile file, const Rgb& seen, double u, double v) {
  switch (file) {
    case DesktopFile::desktop:
      return !farFromColour(seen, desktopColour(u, v), 3);
    case DesktopFile::truncated:
      // The rows the file holds are the bottom half; the rest reads as zero.
      return !farFromColour(seen, v < 0.5 ? desktopColour(u, v) : kBlack, 3);
    case DesktopFile::missing:
      for (const Rgb& c : {kBottomLeft, kBottomRight, kTopLeft, kTopRight}) {
        if (!farFromColour(seen, c, 30)) {
          return false;
        }
      }
      return seen.sum() > 60;
  }
  return false;
}

// The box's outline on the screen, widened: the glass lies over the floor there.
struct ScreenBox {
  double left = 1e9, right = -1e9, bottom = 1e9, top = -1e9;
  bool covers(const ScreenPoint& p) const {
    constexpr double kMargin = 6.0;
    return p.x > left - kMargin && p.x < right + kMargin && p.y > bottom - kMargin &&
           p.y < top + kMargin;
  }
};

ScreenBox boxOnScreen(float viewAngle) {
  ScreenBox box;
  const float h = kBoxHalfSize;
  for (float x : {-h, h}) {
    for (float y : {-h, h}) {
      for (float z : {-h, h}) {
        const ScreenPoint p = project(x, y, z, viewAngle);
        box.left = std::min(box.left, p.x);
        box.right = std::max(box.right, p.x);
        box.bottom = std::min(box.bottom, p.y);
        box.top = std::max(box.top, p.y);
      }
    }
  }
  return box;
}

// Samples the floor on a 1.25-unit grid as the camera at the view angle shows it,
// where a pixel shows one picture colour: on the screen, outside the box, away from
// the picture's quadrant edges, and near enough for a tile to span many pixels.
FloorReport checkFloor(const std::vector<std::uint8_t>& pixels, DesktopFile file,
                       float viewAngle = 0.0f) {
  FloorReport report;
  const Camera camera(viewAngle);
  const ScreenBox box = boxOnScreen(viewAngle);
  const float y = -kBoxHalfSize;
  for (float x = -99.375f; x < 100.0f; x += 1.25f) {
    for (float z = 74.375f; z > -75.0f; z -= 1.25f) {
      const double s = (x + 100.0) / 40.0;
      const double t = (75.0 - z) / 30.0;
      const double u = s - std::floor(s);
      const double v = t - std::floor(t);
      if (nearTileEdge(u) || nearTileEdge(v)) {
        continue;
      }
      const ScreenPoint p = camera.project(x, y, z);
      if (p.x < 2 || p.x > kWidth - 3 || p.y < 2 || p.y > kHeight - 3 || box.covers(p)) {
        continue;
      }
      const ScreenPoint stepX = camera.project(x + 1.0f, y, z);
      const ScreenPoint stepZ = camera.project(x, y, z - 1.0f);
      if (std::hypot(stepX.x - p.x, stepX.y - p.y) < 2.0 ||
          std::hypot(stepZ.x - p.x, stepZ.y - p.y) < 1.5) {
        continue;
      }
      ++report.samples;
      report.tiles.insert({static_cast<int>(s), static_cast<int>(t)});
      const Rgb seen = pixel(pixels, p.x, p.y);
      if (!floorPixelFits(file, seen, u, v)) {
        if (report.mismatches++ == 0) {
          std::ostringstream text;
          text << "floor (" << x << ", " << z << ") at pixel (" << static_cast<int>(p.x) << ", "
               << static_cast<int>(p.y) << ") picture (" << u << ", " << v << "): " << seen.r << " "
               << seen.g << " " << seen.b;
          report.firstMismatch = text.str();
        }
      }
    }
  }
  return report;
}

// --- The balls ----------------------------------------------------------------------

enum class StoneFile { stone, missing, garbage };

// Per channel, what a frame of textured balls holds against the same balls untextured
// (drawn with a white cube map, which leaves the lit colour as it is).
struct Modulation {
  int ballPixels = 0;
  int outOfStoneRange = 0;
  double ratio[3] = {0, 0, 0};  // summed textured over summed untextured, per channel
  double spread = 0;            // standard deviation of the per-pixel green ratio
  int differingBytes = 0;
};

// The stone picture's channel ranges, from its file: red 100 ... 242, green 110 ... 255,
// blue 95 ... 235 (saver/assets/stone_texture.bmp).
constexpr int kStoneMin[3] = {100, 110, 95};
constexpr int kStoneMax[3] = {242, 255, 235};

Modulation compareBalls(const std::vector<std::uint8_t>& textured,
                        const std::vector<std::uint8_t>& plain) {
  Modulation m;
  double sumTextured[3] = {0, 0, 0};
  double sumPlain[3] = {0, 0, 0};
  double greenSum = 0;
  double greenSquares = 0;
  int greenCount = 0;
  for (std::size_t i = 0; i + 3 < plain.size(); i += 4) {
    for (int c = 0; c < 3; ++c) {
      m.differingBytes += std::abs(textured[i + c] - plain[i + c]) > 1 ? 1 : 0;
    }
    if (plain[i] + plain[i + 1] + plain[i + 2] < 60) {
      continue;  // background, or a ball's dark rim
    }
    ++m.ballPixels;
    for (int c = 0; c < 3; ++c) {
      sumTextured[c] += textured[i + c];
      sumPlain[c] += plain[i + c];
      if (plain[i + c] < 40) {
        continue;  // too dark for the rounding to leave a meaningful ratio
      }
      const double ratio = static_cast<double>(textured[i + c]) / plain[i + c];
      if (ratio < kStoneMin[c] / 255.0 - 0.04 || ratio > kStoneMax[c] / 255.0 + 0.03) {
        ++m.outOfStoneRange;
      }
      if (c == 1) {
        greenSum += ratio;
        greenSquares += ratio * ratio;
        ++greenCount;
      }
    }
  }
  for (int c = 0; c < 3; ++c) {
    m.ratio[c] = sumPlain[c] > 0 ? sumTextured[c] / sumPlain[c] : 0.0;
  }
  if (greenCount > 0) {
    const double mean = greenSum / greenCount;
    m.spread = std::sqrt(std::max(0.0, greenSquares / greenCount - mean * mean));
  }
  return m;
}

// --- Fixture --------------------------------------------------------------------------

class TexturedScene : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new tgatest::ScratchFolder("textured-scene-test");
    const Bytes desktop = desktopFile();
    desktop_ = folder_->write("Sorvanta1.tga", desktop);
    // Half the pixel rows: the file ends early.
    const std::size_t half = 18 + (desktop.size() - 18) / 2;
    truncated_ = folder_->write("truncated.tga", Bytes(desktop.begin(), desktop.begin() + half));
    white_ = folder_->write("white.tga", whiteTextureFile());
    garbage_ = folder_->write("garbage.tga", Bytes(5000, 0xA7));
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }

  void SetUp() override {
    const char* stone = std::getenv("SORVANTA_STONE_TGA");
    ASSERT_NE(stone, nullptr) << "SORVANTA_STONE_TGA names the stone texture file";
    stone_ = stone;
  }

  std::string stonePath(StoneFile file) const {
    switch (file) {
      case StoneFile::stone:
        return stone_;
      case StoneFile::garbage:
        return garbage_;
      case StoneFile::missing:
        break;
    }
    return folder_->pathOf("Sorvanta2.tga");
  }

  std::string desktopPath(DesktopFile file) const {
    switch (file) {
      case DesktopFile::desktop:
        return desktop_;
      case DesktopFile::truncated:
        return truncated_;
      case DesktopFile::missing:
        break;
    }
    return folder_->pathOf("absent.tga");
  }

  // The balls of the first frame with the lit colours alone (white cube map).
  std::vector<std::uint8_t> untexturedBalls() const {
    SceneOnContext scene({white_, desktopPath(DesktopFile::missing)});
    EXPECT_TRUE(scene.init());
    return scene.drawBallsOnly();
  }

  static tgatest::ScratchFolder* folder_;
  static std::string desktop_;
  static std::string truncated_;
  static std::string white_;
  static std::string garbage_;
  std::string stone_;
};

tgatest::ScratchFolder* TexturedScene::folder_ = nullptr;
std::string TexturedScene::desktop_;
std::string TexturedScene::truncated_;
std::string TexturedScene::white_;
std::string TexturedScene::garbage_;

// --- Tests ----------------------------------------------------------------------------

TEST_F(TexturedScene, FloorShowsTheDesktopTiledFiveByFiveUpright) {
  std::set<std::pair<int, int>> tilesSeen;
  for (float angle : {0.0f, 35.0f, -120.0f}) {
    SceneOnContext scene({stone_, desktop_});
    ASSERT_TRUE(scene.init());
    moveBallsAway(scene.app);
    scene.app.viewAngle = angle;
    const std::vector<std::uint8_t> pixels = scene.drawScene();
    const FloorReport report = checkFloor(pixels, DesktopFile::desktop, angle);
    EXPECT_GE(report.samples, 300) << "angle " << angle;
    EXPECT_GE(report.tiles.size(), 5u) << "angle " << angle << ": tiles seen";
    EXPECT_EQ(report.mismatches, 0)
        << "angle " << angle << ", of " << report.samples << ", first " << report.firstMismatch;
    tilesSeen.insert(report.tiles.begin(), report.tiles.end());
  }
  // Together the three views show the picture repeated in all five rows of the 5 x 5
  // grid and in four of its five columns.
  std::set<int> columns;
  std::set<int> rows;
  for (const auto& [column, row] : tilesSeen) {
    columns.insert(column);
    rows.insert(row);
  }
  EXPECT_GE(tilesSeen.size(), 10u);
  EXPECT_GE(columns.size(), 4u);
  EXPECT_EQ(rows.size(), 5u);
}

TEST_F(TexturedScene, BallsCarryTheStoneModulatingTheirLitColour) {
  const std::vector<std::uint8_t> plain = untexturedBalls();
  SceneOnContext scene({stone_, desktop_});
  ASSERT_TRUE(scene.init());
  const Modulation m = compareBalls(scene.drawBallsOnly(), plain);
  ASSERT_GT(m.ballPixels, 2000) << "ball pixels in the first frame";
  EXPECT_EQ(m.outOfStoneRange, 0) << "ball pixels darkened outside the stone's range";
  // The stone is a pale grey-green (mean 168, 178, 163 of 255): every channel darkens
  // to about two thirds, green least.
  for (int c = 0; c < 3; ++c) {
    EXPECT_GT(m.ratio[c], 0.5) << "channel " << c;
    EXPECT_LT(m.ratio[c], 0.85) << "channel " << c;
  }
  EXPECT_GT(m.ratio[1], m.ratio[0]) << "green keeps more than red";
  EXPECT_GT(m.ratio[1], m.ratio[2]) << "green keeps more than blue";
  // Cloudy, not flat: the darkening varies across the balls.
  EXPECT_GT(m.spread, 0.03);
}

struct FilesCase {
  const char* name;
  StoneFile cube;
  DesktopFile floor;
};

class TexturedSceneFiles : public TexturedScene, public testing::WithParamInterface<FilesCase> {};

// Whatever the files, the scene initialises and draws; a surface whose file could not be
// read is drawn untextured, and a file that ends early shows the rows it holds.
TEST_P(TexturedSceneFiles, SceneDrawsWithWhatTheFilesGive) {
  const FilesCase& c = GetParam();
  const std::vector<std::uint8_t> plainBalls = untexturedBalls();
  SceneOnContext scene({stonePath(c.cube), desktopPath(c.floor)});
  ASSERT_TRUE(scene.init()) << c.name;

  const Modulation balls = compareBalls(scene.drawBallsOnly(), plainBalls);
  ASSERT_GT(balls.ballPixels, 2000) << c.name << ": the balls are drawn";
  if (c.cube == StoneFile::stone) {
    EXPECT_GT(balls.differingBytes, 5000) << c.name << ": the balls carry the stone";
    EXPECT_EQ(balls.outOfStoneRange, 0) << c.name;
  } else {
    EXPECT_EQ(balls.differingBytes, 0) << c.name << ": the balls keep their lit colour";
  }

  moveBallsAway(scene.app);
  const FloorReport floor = checkFloor(scene.drawScene(), c.floor);
  EXPECT_GE(floor.samples, 300) << c.name;
  EXPECT_EQ(floor.mismatches, 0) << c.name << ", of " << floor.samples << ", first "
                                 << floor.firstMismatch;
}

INSTANTIATE_TEST_SUITE_P(
    Files, TexturedSceneFiles,
    testing::Values(FilesCase{"both_present", StoneFile::stone, DesktopFile::desktop},
                    FilesCase{"stone_missing", StoneFile::missing, DesktopFile::desktop},
                    FilesCase{"desktop_missing", StoneFile::stone, DesktopFile::missing},
                    FilesCase{"both_missing", StoneFile::missing, DesktopFile::missing},
                    FilesCase{"garbage_stone_truncated_desktop", StoneFile::garbage,
                              DesktopFile::truncated}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace sorvanta
