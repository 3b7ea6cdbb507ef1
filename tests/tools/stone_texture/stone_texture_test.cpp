// The stone stone picture: the committed asset is what the tool makes, both of its
// encodings hold the same pixels, and the picture looks like pale grey-green stone.
#include "stone_texture_bmp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tga_image.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(StoneTexture, CommittedAssetMatchesTool) {
  const char* asset = std::getenv("SORVANTA_STONE_BMP");
  ASSERT_NE(asset, nullptr);
  const Bytes committed = readFile(asset);
  ASSERT_FALSE(committed.empty()) << asset;
  EXPECT_TRUE(committed ==
              sorvanta::stone_texture::encodeBmp(sorvanta::stone_texture::makePixels()))
      << "saver/assets/stone_texture.bmp differs from what tools/stone_texture makes; "
         "run the tool and commit its output";
}

TEST(StoneTexture, BmpHeaderDescribes24BitBottomUpPicture) {
  const Bytes bmp = sorvanta::stone_texture::encodeBmp(sorvanta::stone_texture::makePixels());
  ASSERT_EQ(bmp.size(), 54u + 256 * 256 * 3);
  auto le32 = [&](std::size_t at) {
    return bmp[at] | (bmp[at + 1] << 8) | (bmp[at + 2] << 16) | (bmp[at + 3] << 24);
  };
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(le32(2), static_cast<int>(bmp.size())) << "file size";
  EXPECT_EQ(le32(10), 54) << "pixel offset";
  EXPECT_EQ(le32(18), 256) << "width";
  EXPECT_EQ(le32(22), 256) << "height (positive: bottom-up)";
  EXPECT_EQ(bmp[28], 24) << "bits per pixel";
  EXPECT_EQ(le32(30), 0) << "uncompressed";
}

TEST(StoneTexture, TgaIsTheExchangeTextureFileWithSamePixels) {
  const Bytes pixels = sorvanta::stone_texture::makePixels();
  const Bytes tga = sorvanta::stone_texture::encodeTga(pixels);
  ASSERT_EQ(tga.size(), 196626u);
  const Bytes header(tga.begin(), tga.begin() + 18);
  EXPECT_EQ(header, (Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 24, 0}));

  const std::string path =
      (std::filesystem::temp_directory_path() / "stone-texture-test.tga").string();
  std::FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(tga.data(), 1, tga.size(), out);
  std::fclose(out);
  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str()));
  std::filesystem::remove(path);
  ASSERT_EQ(image.dataSize(), pixels.size());
  for (std::size_t i = 0; i < pixels.size(); i += 3) {
    ASSERT_EQ(image.data()[i], pixels[i + 2]) << "red of pixel " << i / 3;
    ASSERT_EQ(image.data()[i + 1], pixels[i + 1]) << "green of pixel " << i / 3;
    ASSERT_EQ(image.data()[i + 2], pixels[i]) << "blue of pixel " << i / 3;
  }
}

TEST(StoneTexture, LooksLikePaleGreyGreenCloudyStone) {
  const Bytes pixels = sorvanta::stone_texture::makePixels();
  double sum[3] = {0, 0, 0};
  double sumSquares = 0;
  for (std::size_t i = 0; i < pixels.size(); i += 3) {
    for (int c = 0; c < 3; ++c)
      sum[c] += pixels[i + c];
    sumSquares += static_cast<double>(pixels[i + 1]) * pixels[i + 1];
  }
  const double count = pixels.size() / 3.0;
  const double blue = sum[0] / count, green = sum[1] / count, red = sum[2] / count;
  const double greenSpread = std::sqrt(sumSquares / count - green * green);
  EXPECT_GT(green, red) << "greenish";
  EXPECT_GT(green, blue) << "greenish";
  EXPECT_LT(green - std::min(red, blue), 30) << "grey-green, not saturated green";
  EXPECT_GT((red + green + blue) / 3, 150) << "pale";
  EXPECT_LT((red + green + blue) / 3, 230) << "not white";
  EXPECT_GT(greenSpread, 8) << "cloudy, not flat";
  EXPECT_LT(greenSpread, 40) << "soft clouds, not noise";
}

TEST(StoneTexture, TilesWithoutSeams) {
  // Opposite edges differ no more than neighbouring rows inside the picture do.
  const Bytes pixels = sorvanta::stone_texture::makePixels();
  auto at = [&](int x, int row) { return pixels[(row * 256 + x) * 3 + 1]; };
  auto rowStep = [&](int a, int b) {
    long total = 0;
    for (int x = 0; x < 256; ++x)
      total += std::abs(at(x, a) - at(x, b));
    return total;
  };
  long inside = 0;
  for (int row = 0; row < 255; ++row)
    inside = std::max(inside, rowStep(row, row + 1));
  EXPECT_LE(rowStep(255, 0), inside) << "top and bottom edges";
}

}  // namespace
