// The settings file's platform side: the program's folder and the files, through the
// wide-character Windows calls.
#pragma once

#include <string>

#include "saver/settings/settings.h"

namespace Sorvanta_B {

class SettingsFilesWin32 : public SettingsFiles {
 public:
  ReadStatus read(const std::string& path, std::size_t limit, std::string& bytes) override;
  bool write(const std::string& path, const std::string& bytes) override;
  bool opensForReading(const std::string& path) override;
};

// The running program's path as Windows gives it (GetModuleFileNameW), and its folder
// without a trailing separator.
std::string programPath();
std::string programFolder();

}  // namespace Sorvanta_B
