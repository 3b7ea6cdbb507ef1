// The GDI picture and the wide-character files under Wine: what is drawn into the
// off-screen picture or loaded from a BMP comes out of SaveTGA byte for byte, for
// widths whose rows need padding and those that don't.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "saver/capture/exchange_folder_win32.h"
#include "saver/capture/offscreen_picture_win32.h"
#include "saver/capture/save_tga.h"
#include "saver/text/wide_text_win32.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using sorvanta::capture::OffscreenPicture;
using sorvanta::capture::SaveTgaStatus;

COLORREF colourAt(int x, int y) {
  return RGB((x * 37) & 0xFF, (y * 59) & 0xFF, (x + y * 3) & 0xFF);
}

// File bytes of a picture painted with colourAt: bottom row first, B G R.
Bytes expectedPixels(int width, int height) {
  Bytes out;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colourAt(x, y);
      out.insert(out.end(), {GetBValue(c), GetGValue(c), GetRValue(c)});
    }
  }
  return out;
}

std::string tempFolder() {
  wchar_t path[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, path);
  std::string folder =
      Sorvanta_B::narrow(path) + "capture_win32_test_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryW(Sorvanta_B::widen(folder).c_str(), nullptr);
  return folder;
}

Bytes readFile(const std::string& path) {
  HANDLE file = CreateFileW(Sorvanta_B::widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return {};
  }
  Bytes bytes(GetFileSize(file, nullptr));
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

void writeFile(const std::string& path, const Bytes& bytes) {
  HANDLE file = CreateFileW(Sorvanta_B::widen(path).c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// A 24-bit bottom-up BMP file of a picture painted with colourAt.
Bytes bmpFile(int width, int height) {
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + stride * height);
  Bytes out(sizeof file + sizeof info);
  std::memcpy(out.data(), &file, sizeof file);
  std::memcpy(out.data() + sizeof file, &info, sizeof info);
  const Bytes pixels = expectedPixels(width, height);
  for (int row = 0; row < height; ++row) {
    const auto from = pixels.begin() + static_cast<std::ptrdiff_t>(row) * width * 3;
    out.insert(out.end(), from, from + width * 3);
    out.insert(out.end(), stride - static_cast<std::size_t>(width) * 3, 0xEE);
  }
  return out;
}

void paint(OffscreenPicture& picture) {
  for (int y = 0; y < picture.heightInPixels(); ++y) {
    for (int x = 0; x < picture.widthInPixels(); ++x) {
      SetPixel(picture.dc(), x, y, colourAt(x, y));
    }
  }
}

class CaptureWin32 : public ::testing::Test {
 protected:
  SaveTgaStatus save(const std::string& path, OffscreenPicture& picture, bool compress = false) {
    sorvanta::capture::SaveTGA saver(files_);
    return saver.SaveTGAinFile(path, picture, compress);
  }

  std::string folder_ = tempFolder();
  sorvanta::capture::ExchangeFolderPortWin32 port_;
  sorvanta::capture::ExchangeFolderFiles files_{port_, folder_};
};

TEST_F(CaptureWin32, PaintedPictureIsWrittenExactlyForEveryStride) {
  const struct {
    int width, height;
  } cases[] = {{1, 3}, {2, 2}, {3, 2}, {4, 2}, {5, 3}, {256, 4}, {1366, 2}};
  for (const auto& c : cases) {
    OffscreenPicture picture;
    ASSERT_TRUE(picture.resize(c.width, c.height)) << c.width << "x" << c.height;
    paint(picture);
    const std::string path = folder_ + "\\painted.tga";
    ASSERT_EQ(save(path, picture), SaveTgaStatus::kSaved) << c.width << "x" << c.height;
    const Bytes file = readFile(path);
    ASSERT_EQ(file.size(), 18u + static_cast<std::size_t>(c.width) * c.height * 3)
        << c.width << "x" << c.height;
    EXPECT_EQ(Bytes(file.begin() + 18, file.end()), expectedPixels(c.width, c.height))
        << c.width << "x" << c.height;
  }
}

TEST_F(CaptureWin32, BmpFileLoadsAtItsSizeAndIsWrittenExactly) {
  for (int width : {1, 3, 256}) {
    const int height = width == 256 ? 256 : 5;
    const std::string bmp = folder_ + "\\picture.bmp";
    writeFile(bmp, bmpFile(width, height));
    OffscreenPicture picture;
    ASSERT_TRUE(picture.loadBitmapFile(bmp)) << "width " << width;
    EXPECT_EQ(picture.widthInPixels(), width);
    EXPECT_EQ(picture.heightInPixels(), height);
    const std::string path = folder_ + "\\loaded.tga";
    ASSERT_EQ(save(path, picture), SaveTgaStatus::kSaved) << "width " << width;
    const Bytes file = readFile(path);
    ASSERT_GE(file.size(), 18u);
    EXPECT_EQ(Bytes(file.begin() + 18, file.end()), expectedPixels(width, height))
        << "width " << width;
  }
}

TEST_F(CaptureWin32, BitmapResourceLoadsAtItsSizeAndIsWrittenExactly) {
  OffscreenPicture picture;
  ASSERT_TRUE(picture.loadBitmapResource(GetModuleHandleW(nullptr), "CAPTURE_TEST_PICTURE"));
  ASSERT_EQ(picture.widthInPixels(), 5);
  ASSERT_EQ(picture.heightInPixels(), 3);
  const std::string path = folder_ + "\\resource.tga";
  ASSERT_EQ(save(path, picture), SaveTgaStatus::kSaved);
  const Bytes file = readFile(path);
  ASSERT_GE(file.size(), 18u);
  EXPECT_EQ(Bytes(file.begin() + 18, file.end()), expectedPixels(5, 3));
}

TEST_F(CaptureWin32, MissingBitmapResourceFails) {
  OffscreenPicture picture;
  EXPECT_FALSE(picture.loadBitmapResource(GetModuleHandleW(nullptr), "NO_SUCH_PICTURE"));
  EXPECT_EQ(picture.widthInPixels(), 0);
}

TEST_F(CaptureWin32, MissingBmpFileLeavesThePictureAsItWas) {
  OffscreenPicture picture;
  ASSERT_TRUE(picture.resize(4, 4));
  EXPECT_FALSE(picture.loadBitmapFile(folder_ + "\\absent.bmp"));
  EXPECT_EQ(picture.widthInPixels(), 4);
}

TEST_F(CaptureWin32, DesktopGrabHasTheScreenSize) {
  OffscreenPicture picture;
  EXPECT_TRUE(picture.grabDesktop());
  EXPECT_EQ(picture.widthInPixels(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(picture.heightInPixels(), GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(CaptureWin32, LongerOldFileIsReplacedEntirely) {
  const std::string path = folder_ + "\\Sorvanta1.tga";
  writeFile(path, Bytes(100000, 0x5A));
  OffscreenPicture picture;
  ASSERT_TRUE(picture.resize(3, 3));
  paint(picture);
  ASSERT_EQ(save(path, picture), SaveTgaStatus::kSaved);
  EXPECT_EQ(readFile(path).size(), 18u + 27);
}

TEST_F(CaptureWin32, MissingFolderIsReportedAndLeavesNoFile) {
  const std::string path = folder_ + "\\absent\\Sorvanta1.tga";
  OffscreenPicture picture;
  ASSERT_TRUE(picture.resize(3, 3));
  EXPECT_EQ(save(path, picture), SaveTgaStatus::kNotCreated);
  EXPECT_EQ(GetFileAttributesW(Sorvanta_B::widen(path).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CaptureWin32, FileOpenElsewhereWithoutSharingIsNotDeletedAndStays) {
  const std::string path = folder_ + "\\locked.tga";
  writeFile(path, Bytes{1, 2, 3});
  HANDLE lock = CreateFileW(Sorvanta_B::widen(path).c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  OffscreenPicture picture;
  ASSERT_TRUE(picture.resize(3, 3));
  EXPECT_EQ(save(path, picture), SaveTgaStatus::kNotDeleted);
  CloseHandle(lock);
  EXPECT_EQ(readFile(path), (Bytes{1, 2, 3}));
}

TEST_F(CaptureWin32, NonAsciiPathIsWrittenThroughTheWideFunctions) {
  const std::string sub = folder_ + "\\\xE7\x94\xBB\xE5\x83\x8F";  // 画像
  CreateDirectoryW(Sorvanta_B::widen(sub).c_str(), nullptr);
  OffscreenPicture picture;
  ASSERT_TRUE(picture.resize(2, 2));
  paint(picture);
  sorvanta::capture::ExchangeFolderPortWin32 port;
  sorvanta::capture::ExchangeFolderFiles files(port, sub);
  sorvanta::capture::SaveTGA saver(files);
  ASSERT_EQ(saver.SaveTGAinFile(sub + "\\Sorvanta2.tga", picture, true), SaveTgaStatus::kSaved);
  EXPECT_EQ(readFile(sub + "\\Sorvanta2.tga")[2], 10);
}

TEST_F(CaptureWin32, EmptyPictureWritesAHeaderOnly) {
  OffscreenPicture picture;
  const std::string path = folder_ + "\\empty.tga";
  ASSERT_EQ(save(path, picture), SaveTgaStatus::kSaved);
  EXPECT_EQ(readFile(path).size(), 18u);
}

}  // namespace
