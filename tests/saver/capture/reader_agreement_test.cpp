// The renderer's own reader reads what the writer writes: for noise, flat areas and
// stripes, the run-length file and the uncompressed file load to the same pixels, and
// those are the picture's pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "picture_fakes.h"
#include "saver/capture/exchange_files_port_stdio.h"
#include "saver/capture/save_tga.h"
#include "tga_image.h"

namespace {

using capture_test::Bgr;
using capture_test::FakePicture;
using capture_test::PixelFunction;

struct Sample {
  const char* name;
  int width;
  int height;
  PixelFunction pixel;
};

Bgr noise(int x, int y) {
  std::uint32_t h =
      static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  return {static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8),
          static_cast<std::uint8_t>(h >> 16)};
}

std::vector<Sample> samples() {
  return {
      {"noise", 301, 67, noise},
      {"flat areas", 300, 40,
       [](int x, int y) {
         return Bgr{static_cast<std::uint8_t>(x / 100 * 60), static_cast<std::uint8_t>(y / 10), 7};
       }},
      {"vertical stripes", 257, 33,
       [](int x, int) {
         return Bgr{static_cast<std::uint8_t>(x % 3 * 100), 1, 2};
       }},
      {"horizontal stripes", 130, 50,
       [](int, int y) {
         return Bgr{9, static_cast<std::uint8_t>(y % 2 * 200), 3};
       }},
      {"one column", 1, 90, noise},
  };
}

class ReaderAgreement : public ::testing::Test {
 protected:
  std::string path(const char* suffix) {
    return ::testing::TempDir() + "reader_agreement_" + suffix + ".tga";
  }
  void TearDown() override {
    std::remove(path("2").c_str());
    std::remove(path("10").c_str());
  }
  sorvanta::capture::ExchangeFilesPortStdio files_;
};

TEST_F(ReaderAgreement, RunLengthAndUncompressedFilesLoadToThePicturesPixels) {
  for (const Sample& sample : samples()) {
    FakePicture picture(sample.width, sample.height, sample.pixel);
    sorvanta::capture::SaveTGA writer(files_);
    ASSERT_EQ(writer.SaveTGAinFile(path("2"), picture, false),
              sorvanta::capture::SaveTgaStatus::kSaved);
    ASSERT_EQ(writer.SaveTGAinFile(path("10"), picture, true),
              sorvanta::capture::SaveTgaStatus::kSaved);
    TgaImage uncompressed;
    TgaImage runLength;
    ASSERT_TRUE(uncompressed.load(path("2").c_str())) << sample.name;
    ASSERT_TRUE(runLength.load(path("10").c_str())) << sample.name;
    ASSERT_EQ(runLength.dataSize(), uncompressed.dataSize()) << sample.name;
    // The reader leaves rows bottom row first, red-green-blue.
    for (int row = 0; row < sample.height; ++row) {
      for (int x = 0; x < sample.width; ++x) {
        const std::size_t at = (static_cast<std::size_t>(row) * sample.width + x) * 3;
        const Bgr expected = sample.pixel(x, sample.height - 1 - row);
        const std::uint8_t* got = runLength.data() + at;
        ASSERT_TRUE(got[0] == expected.r && got[1] == expected.g && got[2] == expected.b)
            << sample.name << " pixel (" << x << ", " << row << " from the bottom)";
        ASSERT_EQ(0, std::memcmp(got, uncompressed.data() + at, 3)) << sample.name;
      }
    }
  }
}

}  // namespace
