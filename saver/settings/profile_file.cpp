#include "saver/settings/profile_file.h"

#include "saver/text/ascii_text.h"
#include "saver/text/cp932.h"

namespace Sorvanta_B {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16leMark = "\xFF\xFE";

std::string decodeText(std::string_view bytes, ProfileEncoding& encoding) {
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    encoding = ProfileEncoding::Utf8Bom;
    return std::string(bytes.substr(kUtf8Mark.size()));
  }
  if (bytes.substr(0, kUtf16leMark.size()) == kUtf16leMark) {
    encoding = ProfileEncoding::Utf16le;
    return utf16leToUtf8(bytes.substr(kUtf16leMark.size()));
  }
  encoding = ProfileEncoding::Cp932;
  return cp932ToUtf8(bytes);
}

void parseLine(std::string_view line, ProfileText& profile) {
  line = trimmed(line, kProfileBlanks);
  if (!line.empty() && line.front() == '[') {
    const std::size_t close = line.rfind(']');
    if (close != std::string_view::npos) {
      profile.sections.push_back({std::string(line.substr(1, close - 1)), {}});
      return;
    }
  }
  ProfileLine entry;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    entry.name = std::string(line);
  } else {
    entry.name = std::string(trimmed(line.substr(0, equals), kProfileBlanks));
    entry.value = std::string(trimmed(line.substr(equals + 1), kProfileBlanks));
  }
  profile.sections.back().lines.push_back(std::move(entry));
}

// Index of the named section (never the nameless lines before the first header).
std::size_t findSection(const ProfileText& profile, std::string_view name) {
  for (std::size_t i = 1; i < profile.sections.size(); ++i) {
    if (sameProfileName(profile.sections[i].name, name)) {
      return i;
    }
  }
  return 0;
}

bool isKeyLine(const ProfileLine& line, std::string_view key) {
  return !line.name.empty() && line.name.front() != ';' && sameProfileName(line.name, key);
}

std::string withoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return std::string(value.substr(1, value.size() - 2));
  }
  return std::string(value);
}

}  // namespace

bool sameProfileName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) {
      return false;
    }
  }
  return true;
}

ProfileText parseProfile(std::string_view fileBytes) {
  ProfileText profile;
  const std::string text = decodeText(fileBytes, profile.encoding);
  profile.sections.push_back({});
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    parseLine(rest.substr(0, end), profile);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  // Blank lines at the end of a section are layout, not content.
  for (ProfileSection& section : profile.sections) {
    while (!section.lines.empty() && section.lines.back().name.empty() &&
           !section.lines.back().value) {
      section.lines.pop_back();
    }
  }
  return profile;
}

std::string serializeProfile(const ProfileText& profile) {
  std::string text;
  for (std::size_t i = 0; i < profile.sections.size(); ++i) {
    const ProfileSection& section = profile.sections[i];
    if (i > 0) {
      text += "[" + section.name + "]\r\n";
    }
    for (const ProfileLine& line : section.lines) {
      text += line.name;
      if (line.value) {
        text += "=" + *line.value;
      }
      text += "\r\n";
    }
  }
  switch (profile.encoding) {
    case ProfileEncoding::Utf8Bom:
      return std::string(kUtf8Mark) + text;
    case ProfileEncoding::Utf16le:
      return std::string(kUtf16leMark) + utf8ToUtf16le(text);
    case ProfileEncoding::Cp932:
      break;
  }
  return utf8ToCp932(text);
}

std::optional<std::string> findProfileValue(const ProfileText& profile, std::string_view section,
                                            std::string_view key) {
  const std::size_t found = findSection(profile, section);
  if (found == 0) {
    return std::nullopt;
  }
  for (const ProfileLine& line : profile.sections[found].lines) {
    if (isKeyLine(line, key)) {
      return withoutQuotes(line.value.value_or(""));
    }
  }
  return std::nullopt;
}

void setProfileValue(ProfileText& profile, std::string_view section, std::string_view key,
                     std::string_view value) {
  std::size_t index = findSection(profile, section);
  if (index == 0) {
    profile.sections.push_back({std::string(section), {}});
    index = profile.sections.size() - 1;
  }
  ProfileSection* target = &profile.sections[index];
  value = withoutLeading(value, kProfileBlanks);
  for (ProfileLine& line : target->lines) {
    if (isKeyLine(line, key)) {
      line.value = std::string(value);
      return;
    }
  }
  target->lines.push_back({std::string(key), std::string(value)});
}

}  // namespace Sorvanta_B
