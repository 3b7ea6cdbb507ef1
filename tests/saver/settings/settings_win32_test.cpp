// The settings file's Windows side against the system's own profile functions, whose
// ANSI forms pass code page 932 bytes through unchanged.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "saver/settings/settings.h"
#include "saver/settings/settings_win32.h"
#include "saver/text/cp932.h"
#include "saver/text/wide_text_win32.h"

namespace Sorvanta_B {
namespace {

class SettingsWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    folder_ = narrow(temp) + "sorvanta_settings_表";
    CreateDirectoryW(widen(folder_).c_str(), nullptr);
    ini_ = settingsFilePath(folder_);
    DeleteFileW(widen(ini_).c_str());
  }
  void TearDown() override {
    DeleteFileW(widen(ini_).c_str());
    RemoveDirectoryW(widen(folder_).c_str());
  }
  std::string bytesOnDisk() {
    std::string bytes;
    EXPECT_EQ(files_.read(ini_, kSettingsFileLimit, bytes), SettingsFiles::ReadStatus::Ok);
    return bytes;
  }
  // The profile function's view, through an ANSI path (the temp folder's name is
  // converted by the system; the test file's own name is ASCII).
  std::string systemRead(const std::string& key) {
    char value[256] = "sentinel";
    GetPrivateProfileStringA("Section", utf8ToCp932(key).c_str(), "", value, sizeof value,
                             ansiIni_.c_str());
    return value;
  }
  void useAnsiFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = narrow(temp) + "sorvanta_settings_ascii";
    CreateDirectoryW(widen(folder_).c_str(), nullptr);
    ini_ = settingsFilePath(folder_);
    ansiIni_ = ini_;
    DeleteFileW(widen(ini_).c_str());
  }

  SettingsFilesWin32 files_;
  std::string folder_;
  std::string ini_;
  std::string ansiIni_;
};

TEST_F(SettingsWin32, SaveThenLoadThroughAJapaneseFolderName) {
  MusicSettings saved{1, 3, "C:\\曲.mp3", ""};
  SaveSettings(saved, folder_, files_);
  MusicSettings loaded;
  LoadSettings(loaded, folder_, files_);
  EXPECT_EQ(loaded.BgmKind, 1);
  EXPECT_EQ(loaded.BgmRepeat, 3);
  EXPECT_EQ(loaded.BgmFile, "") << "a missing music file is dropped";
  EXPECT_EQ(loaded.BgmFolder, folder_);
  EXPECT_NE(bytesOnDisk().find("BGM\x8B\xE6\x95\xAA=1\r\n"), std::string::npos);
}

TEST_F(SettingsWin32, ProfileFunctionsReadWhatThisCodeWrites) {
  useAnsiFolder();
  SaveSettings(MusicSettings{2, 5, "C:\\音楽\\a b.mp3", ""}, folder_, files_);
  EXPECT_EQ(systemRead(kKeyBgmKind), "2");
  EXPECT_EQ(systemRead(kKeyBgmRepeat), "5");
  EXPECT_EQ(systemRead(kKeyBgmFile), utf8ToCp932("C:\\音楽\\a b.mp3"));
}

TEST_F(SettingsWin32, ThisCodeReadsWhatProfileFunctionsWrite) {
  useAnsiFolder();
  WritePrivateProfileStringA("Other", "x", "1", ansiIni_.c_str());
  WritePrivateProfileStringA("Section", utf8ToCp932(kKeyBgmKind).c_str(), "1", ansiIni_.c_str());
  WritePrivateProfileStringA("Section", utf8ToCp932(kKeyBgmFile).c_str(),
                             utf8ToCp932("D:\\表\\曲.wav").c_str(), ansiIni_.c_str());
  EXPECT_EQ(ReadSetting(kSettingsSection, kKeyBgmKind, ini_, files_), "1");
  EXPECT_EQ(ReadSetting(kSettingsSection, kKeyBgmFile, ini_, files_), "D:\\表\\曲.wav");
  // Both writers leave the same bytes when they store the same value.
  const std::string before = bytesOnDisk();
  WriteSetting(kSettingsSection, kKeyBgmRepeat, "4", ini_, files_);
  const std::string ours = bytesOnDisk();
  files_.write(ini_, before);
  WritePrivateProfileStringA("Section", utf8ToCp932(kKeyBgmRepeat).c_str(), "4", ansiIni_.c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, ansiIni_.c_str());  // flush the cache
  EXPECT_EQ(ours, bytesOnDisk());
}

TEST_F(SettingsWin32, FolderIsNeverAFileAndTrailingSeparatorIsDropped) {
  EXPECT_FALSE(FileExists(folder_, files_));
  EXPECT_FALSE(FileExists(folder_ + "\\", files_));
  files_.write(ini_, "x");
  EXPECT_TRUE(FileExists(ini_, files_));
  EXPECT_TRUE(FileExists(ini_ + "\\", files_));
  EXPECT_FALSE(FileExists(ini_ + ".missing", files_));
}

TEST_F(SettingsWin32, MissingFileReadsAsMissing) {
  std::string bytes = "sentinel";
  EXPECT_EQ(files_.read(ini_, kSettingsFileLimit, bytes), SettingsFiles::ReadStatus::Missing);
  files_.write(ini_, "12345");
  EXPECT_EQ(files_.read(ini_, 4, bytes), SettingsFiles::ReadStatus::Failed) << "over the limit";
}

TEST(ProgramFolder, IsTheExecutablesFolder) {
  wchar_t name[MAX_PATH];
  GetModuleFileNameW(nullptr, name, MAX_PATH);
  const std::string path = narrow(name);
  const std::string folder = programFolder();
  EXPECT_EQ(folder, path.substr(0, path.rfind('\\')));
  EXPECT_NE(folder.back(), '\\');
}

}  // namespace
}  // namespace Sorvanta_B
