// Drives the settings file from a test under Wine: this code's writer and reader next to
// the system's ANSI profile functions, one operation a line on stdin, one answer a line.
// Text crosses the pipe as hex ("-" for empty) so that no code page touches it: the keys
// and values of this code's side are UTF-8, those of the profile functions raw bytes.
//
//   save FOLDER KIND REPEAT FILE   SaveSettings into FOLDER\Sorvanta.ini -> ok
//   write INI KEY VALUE            WriteSetting in "Section"             -> ok
//   read INI KEY                   ReadSetting in "Section"              -> VALUE
//   syswrite INI KEY VALUE         WritePrivateProfileStringA            -> ok | failed
//   sysread INI KEY                GetPrivateProfileStringA              -> VALUE
//   load FOLDER                    LoadSettings -> KIND REPEAT FILE FOLDER
//   acp                            the ANSI code page                    -> number
//   quit
#include <windows.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "saver/settings/settings.h"
#include "saver/settings/settings_win32.h"

namespace {

using namespace Sorvanta_B;

std::string toHex(const std::string& bytes) {
  if (bytes.empty())
    return "-";
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : bytes) {
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

std::string fromHex(const std::string& hex) {
  if (hex == "-")
    return {};
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

// The profile functions keep a cache; an all-null write flushes it to disk.
std::string systemWrite(const std::string& ini, const std::string& key, const std::string& value) {
  const BOOL written =
      WritePrivateProfileStringA(kSettingsSection, key.c_str(), value.c_str(), ini.c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
  return written ? "ok" : "failed";
}

std::string systemRead(const std::string& ini, const std::string& key) {
  char value[256] = "";
  const DWORD length =
      GetPrivateProfileStringA(kSettingsSection, key.c_str(), "", value, sizeof value, ini.c_str());
  return std::string(value, length);
}

std::string load(const std::string& folder, SettingsFilesWin32& files) {
  MusicSettings settings;
  LoadSettings(settings, folder, files);
  return std::to_string(settings.BgmKind) + " " + std::to_string(settings.BgmRepeat) + " " +
         toHex(settings.BgmFile) + " " + toHex(settings.BgmFolder);
}

std::string save(const std::vector<std::string>& args, SettingsFilesWin32& files) {
  MusicSettings settings;
  settings.BgmKind = static_cast<std::int16_t>(std::stoi(args[2]));
  settings.BgmRepeat = static_cast<std::int16_t>(std::stoi(args[3]));
  settings.BgmFile = fromHex(args[4]);
  SaveSettings(settings, args[1], files);
  return "ok";
}

std::string answer(const std::vector<std::string>& args, SettingsFilesWin32& files) {
  const std::string& op = args[0];
  if (op == "acp" && args.size() == 1)
    return std::to_string(GetACP());
  if (op == "load" && args.size() == 2)
    return load(args[1], files);
  if (op == "save" && args.size() == 5)
    return save(args, files);
  if (op == "read" && args.size() == 3) {
    return toHex(ReadSetting(kSettingsSection, fromHex(args[2]), args[1], files));
  }
  if (op == "sysread" && args.size() == 3)
    return toHex(systemRead(args[1], fromHex(args[2])));
  if (op == "write" && args.size() == 4) {
    WriteSetting(kSettingsSection, fromHex(args[2]), fromHex(args[3]), args[1], files);
    return "ok";
  }
  if (op == "syswrite" && args.size() == 4) {
    return systemWrite(args[1], fromHex(args[2]), fromHex(args[3]));
  }
  return "unknown";
}

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> result;
  for (std::string word; in >> word;)
    result.push_back(word);
  return result;
}

}  // namespace

int main() {
  SettingsFilesWin32 files;
  for (std::string line; std::getline(std::cin, line);) {
    const std::vector<std::string> args = words(line);
    if (args.empty())
      continue;
    if (args[0] == "quit")
      break;
    std::cout << answer(args, files) << std::endl;
  }
  return 0;
}
