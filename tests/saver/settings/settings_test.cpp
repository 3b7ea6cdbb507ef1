#include "saver/settings/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "saver/settings/profile_file.h"
#include "saver/text/cp932.h"

namespace Sorvanta_B {
namespace {

// Files in memory; folders are paths that exist but never open as files.
class MemoryFiles : public SettingsFiles {
 public:
  ReadStatus read(const std::string& path, std::size_t limit, std::string& bytes) override {
    ++reads;
    if (unreadable.count(path)) {
      return ReadStatus::Failed;
    }
    const auto found = files.find(path);
    if (found == files.end()) {
      return ReadStatus::Missing;
    }
    if (found->second.size() > limit) {
      return ReadStatus::Failed;
    }
    bytes = found->second;
    return ReadStatus::Ok;
  }
  bool write(const std::string& path, const std::string& bytes) override {
    ++writes;
    files[path] = bytes;
    return true;
  }
  bool opensForReading(const std::string& path) override {
    opened.push_back(path);
    return files.count(path) && !unreadable.count(path);
  }

  std::map<std::string, std::string> files;
  std::set<std::string> unreadable;
  std::vector<std::string> opened;
  int reads = 0;
  int writes = 0;
};

const std::string kFolder = "C:\\Saver";
const std::string kIni = "C:\\Saver\\Sorvanta.ini";

// The key names' bytes in code page 932.
const std::string kKindBytes = "BGM\x8B\xE6\x95\xAA";
const std::string kRepeatBytes = "BGM\xD8\xCB\xDF\xB0\xC4";
const std::string kFileBytes = "BGM\xCC\xA7\xB2\xD9";

TEST(SettingsText, KeyNamesEncodeToShiftJis) {
  EXPECT_EQ(utf8ToCp932(kKeyBgmKind), kKindBytes);
  EXPECT_EQ(utf8ToCp932(kKeyBgmRepeat), kRepeatBytes);
  EXPECT_EQ(utf8ToCp932(kKeyBgmFile), kFileBytes);
  EXPECT_EQ(cp932ToUtf8(kKindBytes), kKeyBgmKind);
  EXPECT_EQ(cp932ToUtf8(kRepeatBytes), kKeyBgmRepeat);
}

TEST(SettingsText, ConversionCases) {
  struct Case {
    const char* name;
    std::string utf8;
    std::string cp932;
  };
  const Case cases[] = {
      {"ascii", "C:\\Music\\a b.mp3", "C:\\Music\\a b.mp3"},
      {"trail byte 0x5C (表)", "表", "\x95\x5C"},
      {"hiragana", "あ", "\x82\xA0"},
      {"NEC/IBM duplicate ≒ keeps row 1", "≒", "\x81\xE0"},
      {"IBM extension 髙 keeps FA/FB row", "髙", "\xFB\xFC"},
      {"unmappable to ?", "€", "?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8ToCp932(c.utf8), c.cp932) << c.name;
  }
  EXPECT_EQ(cp932ToUtf8("\x87\x90"), "≒") << "NEC row 13 decodes too";
  EXPECT_EQ(cp932ToUtf8("\x82"), "\xEF\xBF\xBD") << "dangling lead byte";
  EXPECT_EQ(utf8ToCp932("\xC3"), "?") << "malformed UTF-8";
  EXPECT_EQ(utf16leToUtf8(utf8ToUtf16le("a表😀")), "a表😀");
}

TEST(SettingsFile, RoundTripGivesIdenticalBytes) {
  MemoryFiles files;
  MusicSettings settings;
  settings.BgmKind = 2;
  settings.BgmRepeat = 3;
  settings.BgmFile = "D:\\音楽\\曲 1.mp3";
  SaveSettings(settings, kFolder, files);
  const std::string first = files.files.at(kIni);
  EXPECT_EQ(first, "[Section]\r\n" + kKindBytes + "=2\r\n" + kRepeatBytes + "=3\r\n" + kFileBytes +
                       "=D:\\\x89\xB9\x8A\x79\\\x8B\xC8 1.mp3\r\n");
  files.files[settings.BgmFile] = "id3";
  MusicSettings loaded;
  LoadSettings(loaded, kFolder, files);
  EXPECT_EQ(loaded.BgmKind, 2);
  EXPECT_EQ(loaded.BgmRepeat, 3);
  EXPECT_EQ(loaded.BgmFile, settings.BgmFile);
  EXPECT_EQ(loaded.BgmFolder, "D:\\音楽");
  SaveSettings(loaded, kFolder, files);
  EXPECT_EQ(files.files.at(kIni), first);
}

TEST(SettingsFile, OtherSectionsAndKeysSurviveASave) {
  MemoryFiles files;
  files.files[kIni] =
      "; notes\r\n[Other]\r\nA=1\r\n\r\n[section]\r\nkeep=yes\r\n" + kKindBytes + "=0\r\n";
  SaveSettings(MusicSettings{1, 4, "", ""}, kFolder, files);
  EXPECT_EQ(files.files.at(kIni), "; notes\r\n[Other]\r\nA=1\r\n[section]\r\nkeep=yes\r\n" +
                                      kKindBytes + "=1\r\n" + kRepeatBytes + "=4\r\n" + kFileBytes +
                                      "=\r\n");
}

TEST(SettingsFile, ReadRules) {
  MemoryFiles files;
  files.files[kIni] = "[SECTION]\r\n  bgm\x8B\xE6\x95\xAA  =  7 \r\nquoted=\"a b\"\r\nnoequals\r\n";
  struct Case {
    const char* name;
    std::string section, key, expected;
  };
  const Case cases[] = {
      {"names ignore case and blanks", "Section", kKeyBgmKind, "7"},
      {"quotes removed", "section", "quoted", "a b"},
      {"line without = reads empty", "Section", "noequals", ""},
      {"missing key", "Section", "absent", ""},
      {"missing section", "Other", kKeyBgmKind, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadSetting(c.section, c.key, kIni, files), c.expected) << c.name;
  }
  EXPECT_EQ(ReadSetting("Section", kKeyBgmKind, "C:\\none.ini", files), "") << "missing file";
}

TEST(SettingsFile, ValueCutTo255Bytes) {
  MemoryFiles files;
  WriteSetting("S", "long", std::string(300, 'x'), kIni, files);
  EXPECT_EQ(ReadSetting("S", "long", kIni, files), std::string(255, 'x'));
  std::string kanji;
  for (int i = 0; i < 200; ++i) {
    kanji += "表";
  }
  WriteSetting("S", "kanji", "x" + kanji, kIni, files);
  const std::string read = ReadSetting("S", "kanji", kIni, files);
  EXPECT_EQ(utf8ToCp932(read).size(), 255u) << "x + 127 two-byte characters";
  WriteSetting("S", "kanji2", kanji, kIni, files);
  EXPECT_EQ(utf8ToCp932(ReadSetting("S", "kanji2", kIni, files)).size(), 254u)
      << "never a half character";
}

TEST(SettingsFile, UnreadableOrOversizeFileIsNeverOverwritten) {
  MemoryFiles files;
  files.files[kIni] = "[Section]\r\nx=1\r\n";
  files.unreadable.insert(kIni);
  WriteSetting("Section", "x", "2", kIni, files);
  EXPECT_EQ(files.writes, 0);
  files.unreadable.clear();
  files.files[kIni] = std::string(kSettingsFileLimit + 1, ';');
  WriteSetting("Section", "x", "2", kIni, files);
  EXPECT_EQ(files.writes, 0);
  EXPECT_EQ(ReadSetting("Section", "x", kIni, files), "");
}

TEST(SettingsFile, Utf8AndUtf16MarkedFilesKeepTheirEncoding) {
  MemoryFiles files;
  files.files[kIni] = "\xEF\xBB\xBF[Section]\r\n" + std::string(kKeyBgmKind) + "=1\r\n";
  EXPECT_EQ(ReadSetting(kSettingsSection, kKeyBgmKind, kIni, files), "1");
  WriteSetting(kSettingsSection, kKeyBgmKind, "2", kIni, files);
  EXPECT_EQ(files.files.at(kIni),
            "\xEF\xBB\xBF[Section]\r\n" + std::string(kKeyBgmKind) + "=2\r\n");
  files.files[kIni] = "\xFF\xFE" + utf8ToUtf16le("[Section]\r\nk=表\r\n");
  EXPECT_EQ(ReadSetting(kSettingsSection, "k", kIni, files), "表");
  WriteSetting(kSettingsSection, "k", "あ", kIni, files);
  EXPECT_EQ(files.files.at(kIni), "\xFF\xFE" + utf8ToUtf16le("[Section]\r\nk=あ\r\n"));
}

struct LoadCase {
  const char* name;
  std::string kind, repeat, file;
  bool fileExists;
  std::int16_t startKind;
  std::int16_t expectedKind, expectedRepeat;
  std::string expectedFile, expectedFolder;
};

TEST(LoadSettings, Rules) {
  const LoadCase cases[] = {
      {"CD with an empty file", "1", "0", "", false, 0, 1, 0, "", kFolder},
      {"file kind with an empty file", "2", "", "", false, 0, 0, 0, "", kFolder},
      {"file kind with a missing file", "2", "5", "C:\\m\\a.mp3", false, 0, 0, 5, "", kFolder},
      {"file kind with the file", "2", "0", "C:\\m\\a.mp3", true, 0, 2, 0, "C:\\m\\a.mp3", "C:\\m"},
      {"CD keeps a valid file", "1", "2", "C:\\a.wav", true, 0, 1, 2, "C:\\a.wav", "C:"},
      {"2.7 rounds down", "2.7", "3.9", "C:\\m\\a.mp3", true, 0, 2, 3, "C:\\m\\a.mp3", "C:\\m"},
      {"not numeric keeps the old value", "abc", "x", "", false, 1, 1, 0, "", kFolder},
      {"not numeric at start is 0", "abc", "", "", false, 0, 0, 0, "", kFolder},
      {"beyond 16 bits keeps the old value", "32768", "-32769", "", false, 1, 1, 0, "", kFolder},
      {"16-bit limits fit", "-32768", "32767", "", false, 0, -32768, 32767, "", kFolder},
      {"negative fraction rounds down", "-0.5", "", "", false, 0, -1, 0, "", kFolder},
      {"hexadecimal is not a number", "0x1", "", "", false, 1, 1, 0, "", kFolder},
      {"empty kind is 0", "", "", "", false, 1, 0, 0, "", kFolder},
  };
  for (const LoadCase& c : cases) {
    MemoryFiles files;
    std::string ini = "[Section]\r\n";
    ini += kKindBytes + "=" + c.kind + "\r\n" + kRepeatBytes + "=" + c.repeat + "\r\n" +
           kFileBytes + "=" + utf8ToCp932(c.file) + "\r\n";
    files.files[kIni] = ini;
    if (c.fileExists) {
      files.files[c.file] = "data";
    }
    MusicSettings settings;
    settings.BgmKind = c.startKind;
    settings.BgmFile = "old";
    LoadSettings(settings, kFolder, files);
    EXPECT_EQ(settings.BgmKind, c.expectedKind) << c.name;
    EXPECT_EQ(settings.BgmRepeat, c.expectedRepeat) << c.name;
    EXPECT_EQ(settings.BgmFile, c.expectedFile) << c.name;
    EXPECT_EQ(settings.BgmFolder, c.expectedFolder) << c.name;
  }
}

TEST(LoadSettings, MissingFileLoadsAsNoMusic) {
  MemoryFiles files;
  MusicSettings settings;
  LoadSettings(settings, kFolder, files);
  EXPECT_EQ(settings.BgmKind, 0);
  EXPECT_EQ(settings.BgmRepeat, 0);
  EXPECT_EQ(settings.BgmFile, "");
  EXPECT_EQ(settings.BgmFolder, kFolder);
  EXPECT_EQ(files.writes, 0) << "loading never writes";
}

TEST(FileExists, TrailingSeparatorAndFolders) {
  MemoryFiles files;
  files.files["C:\\m\\a.mp3"] = "x";
  EXPECT_TRUE(FileExists("C:\\m\\a.mp3\\", files));
  EXPECT_EQ(files.opened.back(), "C:\\m\\a.mp3") << "one trailing separator removed";
  EXPECT_FALSE(FileExists("C:\\m\\a.mp3\\\\", files)) << "only one separator removed";
  EXPECT_FALSE(FileExists("C:\\m", files)) << "a folder is not a file";
  EXPECT_FALSE(FileExists("", files));
  EXPECT_FALSE(FileExists("\\", files));
}

TEST(FolderOfPath, Cases) {
  struct Case {
    std::string path, expected;
  };
  const Case cases[] = {
      {"C:\\Music\\a.mp3", "C:\\Music"},
      {"C:\\a.mp3", "C:"},
      {"C:a.mp3", "C:"},
      {"a.mp3", ""},
      {"", ""},
      {"C:\\Music\\", "C:\\Music"},
      {"\\\\srv\\share\\a.wav", "\\\\srv\\share"},
      {"D:\\表\\b.wav", "D:\\表"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FolderOfPath(c.path), c.expected) << "path " << c.path;
  }
}

TEST(ProfileFile, TrailByteLikeBracketDoesNotEndASectionName) {
  // ソ is 0x83 0x5C and ム is 0x83 0x80; ] inside names must come from text, not bytes.
  const std::string bytes = "[\x83\x5D\x83\x5C]\r\nk=v\r\n";
  const ProfileText profile = parseProfile(bytes);
  ASSERT_EQ(profile.sections.size(), 2u);
  EXPECT_EQ(utf8ToCp932(profile.sections[1].name), "\x83\x5D\x83\x5C");
  EXPECT_EQ(serializeProfile(profile), bytes);
}

}  // namespace
}  // namespace Sorvanta_B
