// The desktop picture's way into the renderer's reader: the desktop's pixels as an
// exchange image.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "exchange_image.h"

namespace {

TEST(HackFloorPicture, TopRowLastInBlueGreenRed) {
  // Two rows: red above, blue below; the exchange image keeps rows bottom first.
  const std::vector<std::uint8_t> bytes =
      sorvanta::hack::encodeExchangeImage({0xFF0000, 0x0000FF}, 1, 2);
  ASSERT_EQ(bytes.size(), 18u + 6u);
  EXPECT_EQ(bytes[2], 2);   // uncompressed true colour
  EXPECT_EQ(bytes[12], 1);  // width
  EXPECT_EQ(bytes[14], 2);  // height
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 18, bytes.end()),
            (std::vector<std::uint8_t>{0xFF, 0, 0, 0, 0, 0xFF}));
}

TEST(HackFloorPicture, ChannelsOfAnyWidthReachFullScale) {
  EXPECT_EQ(sorvanta::hack::channelValue(0xF800, 0xF800), 255);  // 5-bit red of 16-bit colour
  EXPECT_EQ(sorvanta::hack::channelValue(0x0400, 0x07E0), 130);  // 6-bit green, 32 of 63
  EXPECT_EQ(sorvanta::hack::channelValue(0x00FF00, 0x00FF00), 255);
}

}  // namespace
