// SaveTGA end to end on real files: header bytes and sizes, rows without padding,
// replacing an older file, and every failure reported with the old file left alone.
#include "saver/capture/exchange_files_port_stdio.h"
#include "saver/capture/save_tga.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/saver/capture/picture_fakes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using capture_test::Bgr;
using capture_test::FakeFiles;
using capture_test::FakePicture;
using sorvanta::capture::SaveTGA;
using sorvanta::capture::SaveTgaStatus;
using sorvanta::capture::statusName;
namespace fs = std::filesystem;

Bgr gradient(int x, int y) {
  return {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
          static_cast<std::uint8_t>(x * 7 + y * 3)};
}

Bytes readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

class SaveTgaFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("capture_test_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  SaveTgaStatus save(const fs::path& path, FakePicture& picture, bool compress = false) {
    SaveTGA saver(files_);
    return saver.SaveTGAinFile(path.string(), picture, compress);
  }

  fs::path folder_;
  sorvanta::capture::ExchangeFilesPortStdio files_;
};

TEST_F(SaveTgaFiles, DesktopSizedPictureHasTheExactHeaderAndSize) {
  FakePicture picture(1024, 768, gradient);
  const fs::path path = folder_ / "Sorvanta1.tga";
  ASSERT_EQ(save(path, picture), SaveTgaStatus::kSaved);
  const Bytes file = readFile(path);
  ASSERT_EQ(file.size(), 2359314u);
  const Bytes header(file.begin(), file.begin() + 18);
  const Bytes expected = {0x00, 0x00, 0x02, 0,    0,    0,    0,    0,    0,
                          0,    0,    0,    0x00, 0x04, 0x00, 0x03, 0x18, 0x00};
  EXPECT_EQ(header, expected);
}

TEST_F(SaveTgaFiles, FileSizesFollowWidthTimesHeightTimesThree) {
  const struct {
    int width, height;
    std::uintmax_t size;
  } cases[] = {{1366, 768, 3147282}, {256, 256, 196626}, {1, 1, 21}, {1, 5, 33}, {3, 2, 36}};
  for (const auto& c : cases) {
    FakePicture picture(c.width, c.height, gradient);
    const fs::path path = folder_ / "size.tga";
    ASSERT_EQ(save(path, picture), SaveTgaStatus::kSaved) << c.width << "x" << c.height;
    EXPECT_EQ(fs::file_size(path), c.size) << c.width << "x" << c.height;
  }
}

TEST_F(SaveTgaFiles, StoneSizedPictureHasWidthAndHeightBytes0x00_0x01) {
  FakePicture picture(256, 256, gradient);
  const fs::path path = folder_ / "Sorvanta2.tga";
  ASSERT_EQ(save(path, picture), SaveTgaStatus::kSaved);
  const Bytes file = readFile(path);
  EXPECT_EQ(Bytes(file.begin() + 12, file.begin() + 16), (Bytes{0x00, 0x01, 0x00, 0x01}));
}

// Pixels as the file must hold them: bottom row first, left to right, B G R.
Bytes expectedPixels(int width, int height) {
  Bytes out;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const Bgr p = gradient(x, y);
      out.insert(out.end(), {p.b, p.g, p.r});
    }
  }
  return out;
}

TEST_F(SaveTgaFiles, RowsAreBottomUpWithoutPaddingForEveryStride) {
  for (int width : {1, 2, 3, 4, 5, 1024, 1366}) {
    const int height = 4;
    FakePicture picture(width, height, gradient);
    const fs::path path = folder_ / "rows.tga";
    ASSERT_EQ(save(path, picture), SaveTgaStatus::kSaved) << "width " << width;
    const Bytes file = readFile(path);
    EXPECT_EQ(Bytes(file.begin() + 18, file.end()), expectedPixels(width, height))
        << "width " << width;
  }
}

TEST_F(SaveTgaFiles, CompressedFileHasImageType10AndTheSameHeaderOtherwise) {
  FakePicture picture(300, 2, [](int, int y) { return Bgr{1, 2, static_cast<std::uint8_t>(y)}; });
  const fs::path plain = folder_ / "plain.tga";
  const fs::path packed = folder_ / "packed.tga";
  ASSERT_EQ(save(plain, picture, false), SaveTgaStatus::kSaved);
  ASSERT_EQ(save(packed, picture, true), SaveTgaStatus::kSaved);
  Bytes plainHeader = readFile(plain);
  const Bytes packedFile = readFile(packed);
  plainHeader.resize(18);
  Bytes expected = plainHeader;
  expected[2] = 10;
  // Two rows of one colour each: 128 + 128 + 44 pixels per row, rows bottom first.
  for (std::uint8_t red : {1, 0}) {
    for (std::uint8_t head : {0xFF, 0xFF, 0xAB}) {
      expected.insert(expected.end(), {head, 1, 2, red});
    }
  }
  EXPECT_EQ(packedFile, expected);
}

TEST_F(SaveTgaFiles, ALongerOlderFileIsReplacedEntirely) {
  const fs::path path = folder_ / "Sorvanta1.tga";
  writeFile(path, Bytes(500000, 0x5A));
  for (bool compress : {false, true}) {
    FakePicture picture(16, 16, gradient);
    ASSERT_EQ(save(path, picture, compress), SaveTgaStatus::kSaved);
    const Bytes file = readFile(path);
    if (!compress) {
      EXPECT_EQ(file.size(), 18u + 16 * 16 * 3);
      EXPECT_EQ(Bytes(file.begin() + 18, file.end()), expectedPixels(16, 16));
    } else {
      EXPECT_LT(file.size(), 18u + 16 * 16 * 4) << "compressed";
      EXPECT_EQ(file[2], 10) << "compressed";
    }
    writeFile(path, Bytes(500000, 0x5A));
  }
}

TEST_F(SaveTgaFiles, EmptyPictureGivesAHeaderOnly) {
  FakePicture picture(0, 0, gradient);
  const fs::path path = folder_ / "empty.tga";
  ASSERT_EQ(save(path, picture), SaveTgaStatus::kSaved);
  EXPECT_EQ(fs::file_size(path), 18u);
}

TEST_F(SaveTgaFiles, MissingFolderIsReportedAndLeavesNoFile) {
  FakePicture picture(8, 8, gradient);
  const fs::path path = folder_ / "q_lenn" / "Sorvanta1.tga";
  EXPECT_EQ(save(path, picture), SaveTgaStatus::kNotCreated);
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(SaveTgaFiles, PathThatCannotBeDeletedKeepsItsContent) {
  // A folder with something in it stands where the file should go.
  const fs::path path = folder_ / "Sorvanta1.tga";
  fs::create_directories(path);
  writeFile(path / "keep", Bytes{1, 2, 3});
  FakePicture picture(8, 8, gradient);
  EXPECT_EQ(save(path, picture), SaveTgaStatus::kNotDeleted);
  EXPECT_EQ(readFile(path / "keep"), (Bytes{1, 2, 3}));
}

TEST_F(SaveTgaFiles, TooLargeAPictureIsRefusedBeforeTheOldFileIsTouched) {
  const struct { int width, height; } cases[] = {{32768, 1}, {1, 32768}, {40000, 40000}};
  const fs::path path = folder_ / "Sorvanta1.tga";
  const Bytes old(1000, 0x33);
  for (const auto& c : cases) {
    writeFile(path, old);
    FakePicture picture(c.width, c.height, gradient);
    EXPECT_EQ(save(path, picture), SaveTgaStatus::kTooLarge) << c.width << "x" << c.height;
    EXPECT_EQ(readFile(path), old) << c.width << "x" << c.height;
    EXPECT_EQ(picture.reads, 0) << c.width << "x" << c.height;
  }
}

TEST_F(SaveTgaFiles, LargestDescribableWidthIsWritten) {
  FakePicture picture(32767, 1, gradient);
  const fs::path path = folder_ / "wide.tga";
  ASSERT_EQ(save(path, picture), SaveTgaStatus::kSaved);
  const Bytes file = readFile(path);
  EXPECT_EQ(file.size(), 18u + 32767 * 3);
  EXPECT_EQ(Bytes(file.begin() + 12, file.begin() + 16), (Bytes{0xFF, 0x7F, 0x01, 0x00}));
}

TEST(SaveTgaFailures, NegativeSizeIsRefusedWithoutReadingOrWriting) {
  FakeFiles files;
  SaveTGA saver(files);
  FakePicture picture(-1, 4, gradient);
  EXPECT_EQ(saver.SaveTGAinFile("x.tga", picture, false), SaveTgaStatus::kBadSize);
  EXPECT_EQ(picture.reads, 0);
  EXPECT_EQ(files.writes + files.removes, 0);
}

TEST(SaveTgaFailures, EachFileFailureIsReportedAsItsOwnStatus) {
  const struct {
    const char* name;
    bool failRemove;
    sorvanta::capture::FileWriteResult write;
    SaveTgaStatus expected;
    int writes;
  } cases[] = {
      {"delete fails", true, sorvanta::capture::FileWriteResult::kWritten,
       SaveTgaStatus::kNotDeleted, 0},
      {"create fails", false, sorvanta::capture::FileWriteResult::kNotCreated,
       SaveTgaStatus::kNotCreated, 1},
      {"write fails", false, sorvanta::capture::FileWriteResult::kNotWritten,
       SaveTgaStatus::kNotWritten, 1},
      {"all works", false, sorvanta::capture::FileWriteResult::kWritten, SaveTgaStatus::kSaved, 1},
  };
  for (const auto& c : cases) {
    for (bool compress : {false, true}) {
      FakeFiles files;
      files.existing = "old.tga";
      files.failRemove = c.failRemove;
      files.writeResult = c.write;
      SaveTGA saver(files);
      FakePicture picture(5, 3, gradient);
      const SaveTgaStatus status = saver.SaveTGAinFile("old.tga", picture, compress);
      EXPECT_EQ(status, c.expected)
          << c.name << (compress ? " (compressed)" : "") << ": got " << statusName(status);
      EXPECT_EQ(files.writes, c.writes) << c.name;
      EXPECT_EQ(files.removes, 1) << c.name;
    }
  }
}

TEST(SaveTgaFailures, NoDeletionWhenNoFileExists) {
  FakeFiles files;
  SaveTGA saver(files);
  FakePicture picture(2, 2, gradient);
  EXPECT_EQ(saver.SaveTGAinFile("new.tga", picture, false), SaveTgaStatus::kSaved);
  EXPECT_EQ(files.removes, 0);
  EXPECT_EQ(files.written.size(), 18u + 12);
}

TEST(SaveTgaReuse, OneObjectWritesTwoPicturesOfDifferentSizeAndType) {
  FakeFiles files;
  SaveTGA saver(files);
  FakePicture desktop(1366, 2, gradient);
  ASSERT_EQ(saver.SaveTGAinFile("1.tga", desktop, true), SaveTgaStatus::kSaved);
  EXPECT_EQ(files.written[2], 10);
  FakePicture stone(256, 256, gradient);
  ASSERT_EQ(saver.SaveTGAinFile("2.tga", stone, false), SaveTgaStatus::kSaved);
  EXPECT_EQ(files.written.size(), 196626u);
  EXPECT_EQ(files.written[2], 2);
}

}  // namespace
