// The front end's settings file, "Sorvanta.ini" beside the program: section "Section"
// with the background music's kind, repeat track and file, stored in code page 932.
#pragma once

#include <cstdint>
#include <string>

namespace Sorvanta_B {

inline constexpr char kSettingsFileName[] = "\\Sorvanta.ini";
inline constexpr char kSettingsSection[] = "Section";
inline constexpr char kKeyBgmKind[] = "BGM区分";
inline constexpr char kKeyBgmRepeat[] = "BGMﾘﾋﾟｰﾄ";
inline constexpr char kKeyBgmFile[] = "BGMﾌｧｲﾙ";

// A value read is cut to this many bytes (of its code page 932 form).
inline constexpr std::size_t kSettingValueLimit = 255;
// Section and key names are cut to this many bytes.
inline constexpr std::size_t kSettingNameLimit = 127;
// A settings file larger than this is neither read nor rewritten.
inline constexpr std::size_t kSettingsFileLimit = 16u << 20;

// The music settings: process-wide values of the front end, owned by its start-up,
// edited by the settings dialog, read by the run form and the music module.
struct MusicSettings {
  std::int16_t BgmKind = 0;    // 0 none, 1 audio CD, 2 music file
  std::int16_t BgmRepeat = 0;  // CD track to repeat; 0 the whole disc
  std::string BgmFile;         // the music file's path
  std::string BgmFolder;       // where the file chooser opens; never stored
};

// The files the settings need; paths are UTF-8 Windows paths.
class SettingsFiles {
 public:
  enum class ReadStatus { Ok, Missing, Failed };
  virtual ~SettingsFiles() = default;
  // Reads at most `limit` bytes; Failed when the file is larger or unreadable.
  virtual ReadStatus read(const std::string& path, std::size_t limit, std::string& bytes) = 0;
  // Replaces the file's contents; false on failure.
  virtual bool write(const std::string& path, const std::string& bytes) = 0;
  // True when `path` names a file (not a folder) that opens for reading.
  virtual bool opensForReading(const std::string& path) = 0;
};

std::string ReadSetting(const std::string& section, const std::string& key, const std::string& file,
                        SettingsFiles& files);
// A failed write is silent, as the settings dialog expects.
void WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& file, SettingsFiles& files);
bool FileExists(const std::string& path, SettingsFiles& files);
std::string FolderOfPath(const std::string& path);

// The settings file's path for a program folder given without a trailing separator.
std::string settingsFilePath(const std::string& programFolder);

// Loads kind, repeat and file from the settings file; derives the folder. A value that
// is not a number or does not fit 16 bits leaves its setting as it was.
void LoadSettings(MusicSettings& settings, const std::string& programFolder, SettingsFiles& files);
// The settings dialog's save: kind and repeat as decimal text, then the file.
void SaveSettings(const MusicSettings& settings, const std::string& programFolder,
                  SettingsFiles& files);

// The number rule of the load: blanks around a decimal number (sign, fraction and
// exponent allowed), rounded down; nothing when not numeric or outside 16 bits.
bool parseSettingNumber(const std::string& text, std::int16_t& number);

}  // namespace Sorvanta_B
