#include "exchange/tga_layout.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The header of a 1024 x 768 desktop file, byte for byte.
TEST(ExchangeLayout, DesktopHeaderBytes) {
  const exchange::TgaHeader header =
      exchange::makeHeader(1024, 768, exchange::kImageTypeUncompressed);
  const std::uint8_t expected[18] = {0x00, 0x00, 0x02, 0,    0,    0,    0,    0,    0,
                                     0,    0,    0,    0x00, 0x04, 0x00, 0x03, 0x18, 0x00};
  std::uint8_t actual[18];
  std::memcpy(actual, &header, sizeof actual);
  for (int i = 0; i < 18; ++i) {
    EXPECT_EQ(actual[i], expected[i]) << "byte " << i;
  }
}

TEST(ExchangeLayout, SixteenBitFieldsRoundTrip) {
  for (int value : {0, 1, 255, 256, 1366, 32767, 65535}) {
    std::uint8_t bytes[2];
    exchange::writeLe16(bytes, static_cast<std::uint16_t>(value));
    EXPECT_EQ(exchange::readLe16(bytes), value);
  }
  const exchange::TgaHeader stone = exchange::makeHeader(exchange::kStoneSize, exchange::kStoneSize,
                                                         exchange::kImageTypeRunLength);
  EXPECT_EQ(stone.imageType, 10);
  EXPECT_EQ(stone.width[0], 0x00);
  EXPECT_EQ(stone.width[1], 0x01);
}

}  // namespace
