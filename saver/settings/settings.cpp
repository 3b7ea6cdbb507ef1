#include "saver/settings/settings.h"

#include <cmath>
#include <limits>

#include "saver/settings/profile_file.h"
#include "saver/text/cp932.h"
#include "saver/text/number_text.h"

namespace Sorvanta_B {
namespace {

// Cuts text to `limit` bytes of its code page 932 form, never inside a character.
std::string cutToCp932Bytes(const std::string& utf8, std::size_t limit) {
  const std::string bytes = utf8ToCp932(utf8);
  if (bytes.size() <= limit) {
    return utf8;
  }
  std::size_t end = 0;
  while (end < limit) {
    const std::size_t width = isCp932LeadByte(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
    if (end + width > limit) {
      break;
    }
    end += width;
  }
  return cp932ToUtf8(std::string_view(bytes).substr(0, end));
}

// Text up to its first NUL, as a fixed character buffer would hold it.
std::string upToNul(const std::string& text) {
  return text.substr(0, text.find('\0'));
}

void loadNumber(const std::string& value, std::int16_t& setting) {
  if (value.empty()) {
    setting = 0;
    return;
  }
  parseSettingNumber(value, setting);
}

}  // namespace

bool parseSettingNumber(const std::string& text, std::int16_t& number) {
  double value = 0;
  if (!readWholeDecimal(text, ExponentLetters::E, value) || !std::isfinite(value)) {
    return false;
  }
  const double whole = std::floor(value);
  if (whole < std::numeric_limits<std::int16_t>::min() ||
      whole > std::numeric_limits<std::int16_t>::max()) {
    return false;
  }
  number = static_cast<std::int16_t>(whole);
  return true;
}

std::string ReadSetting(const std::string& section, const std::string& key, const std::string& file,
                        SettingsFiles& files) {
  std::string bytes;
  if (files.read(file, kSettingsFileLimit, bytes) != SettingsFiles::ReadStatus::Ok) {
    return {};
  }
  const ProfileText profile = parseProfile(bytes);
  const auto value = findProfileValue(profile, cutToCp932Bytes(upToNul(section), kSettingNameLimit),
                                      cutToCp932Bytes(upToNul(key), kSettingNameLimit));
  return value ? cutToCp932Bytes(upToNul(*value), kSettingValueLimit) : std::string();
}

void WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& file, SettingsFiles& files) {
  std::string bytes;
  if (files.read(file, kSettingsFileLimit, bytes) == SettingsFiles::ReadStatus::Failed) {
    return;  // never overwrite a file that could not be read whole
  }
  ProfileText profile = parseProfile(bytes);
  setProfileValue(profile, cutToCp932Bytes(upToNul(section), kSettingNameLimit),
                  cutToCp932Bytes(upToNul(key), kSettingNameLimit), upToNul(value));
  files.write(file, serializeProfile(profile));
}

bool FileExists(const std::string& path, SettingsFiles& files) {
  std::string checked = path;
  if (!checked.empty() && checked.back() == '\\') {
    checked.pop_back();
  }
  return !checked.empty() && files.opensForReading(checked);
}

std::string FolderOfPath(const std::string& path) {
  const std::size_t last = path.find_last_of(":\\");
  if (last == std::string::npos) {
    return {};
  }
  std::string folder = path.substr(0, last + 1);
  if (folder.back() == '\\') {
    folder.pop_back();
  }
  return folder;
}

std::string settingsFilePath(const std::string& programFolder) {
  return programFolder + kSettingsFileName;
}

void LoadSettings(MusicSettings& settings, const std::string& programFolder, SettingsFiles& files) {
  const std::string file = settingsFilePath(programFolder);
  loadNumber(ReadSetting(kSettingsSection, kKeyBgmKind, file, files), settings.BgmKind);
  loadNumber(ReadSetting(kSettingsSection, kKeyBgmRepeat, file, files), settings.BgmRepeat);
  const std::string musicFile = ReadSetting(kSettingsSection, kKeyBgmFile, file, files);
  settings.BgmFile = FileExists(musicFile, files) ? musicFile : std::string();
  if (settings.BgmFile.empty() && settings.BgmKind == 2) {
    settings.BgmKind = 0;
  }
  settings.BgmFolder = settings.BgmFile.empty() ? programFolder : FolderOfPath(settings.BgmFile);
}

void SaveSettings(const MusicSettings& settings, const std::string& programFolder,
                  SettingsFiles& files) {
  const std::string file = settingsFilePath(programFolder);
  WriteSetting(kSettingsSection, kKeyBgmKind, std::to_string(settings.BgmKind), file, files);
  WriteSetting(kSettingsSection, kKeyBgmRepeat, std::to_string(settings.BgmRepeat), file, files);
  WriteSetting(kSettingsSection, kKeyBgmFile, settings.BgmFile, file, files);
}

}  // namespace Sorvanta_B
