// The program's icon: the tool still makes exactly the committed bytes, and the file
// holds the five sizes Windows asks for, the largest as a PNG that reads back as drawn.
#include "program_icon.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <string>

namespace sorvanta::tools {
namespace {

std::vector<std::uint8_t> committedIcon() {
  return readFile(std::string(SORVANTA_ASSET_DIR) + "/program_icon.ico");
}

std::uint32_t little(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    value = value << 8 | bytes.at(at + std::size_t(i));
  }
  return value;
}

TEST(ProgramIcon, ToolMakesTheCommittedBytes) {
  const std::vector<std::uint8_t> committed = committedIcon();
  ASSERT_FALSE(committed.empty()) << "program_icon.ico is not committed";
  EXPECT_EQ(programIconFile(), committed) << "program_icon.ico differs: rerun program_icon";
}

// Each directory entry names its size (0 for 256) and 32 bits; the image it points at
// lies inside the file and is a 32-bit bitmap of that size, or for 256 a PNG of it.
TEST(ProgramIcon, FileHoldsTheFiveSizesTheLargestAsPng) {
  const std::vector<std::uint8_t> bytes = committedIcon();
  ASSERT_GE(bytes.size(), 6u);
  ASSERT_EQ(little(bytes, 2, 2), 1u) << "an icon file";
  ASSERT_EQ(little(bytes, 4, 2), 5u) << "five pictures";
  const int sizes[] = {16, 24, 32, 48, 256};
  for (int i = 0; i < 5; ++i) {
    const std::size_t entry = 6 + 16 * std::size_t(i);
    const int size = sizes[i];
    EXPECT_EQ(bytes[entry], size % 256) << size;
    EXPECT_EQ(bytes[entry + 1], size % 256) << size;
    EXPECT_EQ(little(bytes, entry + 6, 2), 32u) << size << ": bits per pixel";
    const std::uint32_t length = little(bytes, entry + 8, 4);
    const std::uint32_t offset = little(bytes, entry + 12, 4);
    ASSERT_LE(std::size_t(offset) + length, bytes.size()) << size;
    if (size == 256) {
      const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
      EXPECT_TRUE(std::equal(signature, signature + 8, bytes.begin() + offset)) << "a PNG";
    } else {
      EXPECT_EQ(little(bytes, offset, 4), 40u) << size << ": a bitmap header";
      EXPECT_EQ(little(bytes, offset + 4, 4), std::uint32_t(size));
      EXPECT_EQ(little(bytes, offset + 8, 4), std::uint32_t(size) * 2) << "colour and mask";
      EXPECT_EQ(little(bytes, offset + 14, 2), 32u);
    }
  }
}

TEST(ProgramIcon, LargestPictureReadsBackAsDrawn) {
  const std::vector<std::uint8_t> bytes = committedIcon();
  ASSERT_GE(bytes.size(), 6u + 16 * 5);
  const std::size_t entry = 6 + 16 * 4;
  int width = 0, height = 0, channels = 0;
  stbi_uc* decoded = stbi_load_from_memory(bytes.data() + little(bytes, entry + 12, 4),
                                           static_cast<int>(little(bytes, entry + 8, 4)), &width,
                                           &height, &channels, 4);
  ASSERT_NE(decoded, nullptr) << stbi_failure_reason();
  const RgbaPicture drawn = programIcon(256);
  ASSERT_EQ(width, 256);
  ASSERT_EQ(height, 256);
  EXPECT_TRUE(std::equal(drawn.rgba.begin(), drawn.rgba.end(), decoded));
  stbi_image_free(decoded);
  // Transparent beyond the rounded corners, opaque in the middle.
  EXPECT_EQ(drawn.at(0, 0)[3], 0);
  EXPECT_EQ(drawn.at(128, 128)[3], 255);
}

}  // namespace
}  // namespace sorvanta::tools
