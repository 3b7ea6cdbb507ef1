// The profile (INI) file as the system's profile functions read and write it: lines of
// "[section]" and "key=value", names matched without regard to letter case, names and
// values trimmed of surrounding blanks, a pair of matching quotes around a value
// removed on read, and the whole file written back with every other line kept.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Sorvanta_B {

// How the file's text is stored: code page 932 unless it starts with a byte-order mark.
enum class ProfileEncoding { Cp932, Utf8Bom, Utf16le };

struct ProfileLine {
  std::string name;                  // a key, a comment or an empty (blank) line
  std::optional<std::string> value;  // absent on lines without "="
};

struct ProfileSection {
  std::string name;  // empty for the lines before the first section header
  std::vector<ProfileLine> lines;
};

// Text is UTF-8 in memory whatever the encoding on disk.
struct ProfileText {
  ProfileEncoding encoding = ProfileEncoding::Cp932;
  std::vector<ProfileSection> sections;
};

ProfileText parseProfile(std::string_view fileBytes);
std::string serializeProfile(const ProfileText& profile);

// The value stored under `key` in `section`, quotes removed; nothing when absent.
std::optional<std::string> findProfileValue(const ProfileText& profile, std::string_view section,
                                            std::string_view key);
// Stores `value` (leading blanks removed) under `key`, adding the section and key at
// their ends when missing.
void setProfileValue(ProfileText& profile, std::string_view section, std::string_view key,
                     std::string_view value);

// Letter case ignored for A-Z only.
bool sameProfileName(std::string_view a, std::string_view b);

}  // namespace Sorvanta_B
