// The run's exchange images through a fake folder: what is written, in which order,
// in which format, and that a failed picture leaves the other one written.
#include "saver/capture/exchange_images.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/tga_layout.h"
#include "folder_fakes.h"
#include "picture_fakes.h"

namespace {

using capture_test::EntryKind;
using capture_test::FakeFolderPort;
using sorvanta::capture::SaveTgaStatus;
using Names = std::vector<std::string>;

capture_test::Bgr grey(int, int) {
  return {90, 90, 90};
}

sorvanta::capture::ExchangeImagesWritten writeBoth(FakeFolderPort& port) {
  capture_test::FakePicture desktop(4, 2, grey);
  capture_test::FakePicture stone(2, 2, grey);
  return sorvanta::capture::writeExchangeImages(port, desktop, stone);
}

std::uint8_t imageTypeOf(FakeFolderPort& port, const std::string& name) {
  return port.entries[name].bytes.at(exchange::kImageTypeOffset);
}

TEST(ExchangeImages, DesktopThenStoneUncompressedThroughTheOneOpenFolder) {
  FakeFolderPort port;
  port.entries["Sorvanta1.tga"] = {EntryKind::kPlain, {1, 2, 3}};
  const auto written = writeBoth(port);
  EXPECT_EQ(written.desktop, SaveTgaStatus::kSaved);
  EXPECT_EQ(written.stone, SaveTgaStatus::kSaved);
  EXPECT_EQ(port.folderOpens, 1);
  EXPECT_EQ(port.deleted, Names{"Sorvanta1.tga"});
  EXPECT_EQ(port.created, (Names{"Sorvanta1.tga", "Sorvanta2.tga"}));
  EXPECT_EQ(imageTypeOf(port, "Sorvanta1.tga"), exchange::kImageTypeUncompressed);
  EXPECT_EQ(imageTypeOf(port, "Sorvanta2.tga"), exchange::kImageTypeUncompressed);
}

TEST(ExchangeImages, AFailedPictureEndsOnlyItsOwnStep) {
  FakeFolderPort desktopLinked;
  desktopLinked.entries["Sorvanta1.tga"] = capture_test::linkToUsersDocument();
  auto written = writeBoth(desktopLinked);
  EXPECT_EQ(written.desktop, SaveTgaStatus::kNotDeleted);
  EXPECT_EQ(written.stone, SaveTgaStatus::kSaved);
  EXPECT_EQ(desktopLinked.entries["Sorvanta1.tga"].bytes, capture_test::kUsersDocument);
  EXPECT_TRUE(desktopLinked.deleted.empty());
  EXPECT_EQ(desktopLinked.created, Names{"Sorvanta2.tga"});

  FakeFolderPort stoneLinked;
  stoneLinked.entries["Sorvanta2.tga"] = capture_test::linkToUsersDocument();
  written = writeBoth(stoneLinked);
  EXPECT_EQ(written.desktop, SaveTgaStatus::kSaved);
  EXPECT_EQ(written.stone, SaveTgaStatus::kNotDeleted);
  EXPECT_EQ(stoneLinked.created, Names{"Sorvanta1.tga"});
}

}  // namespace
