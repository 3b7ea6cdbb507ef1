// The start-up's platform port: window search, folders, message box, cursor, and the
// hand-over to the preview, the settings dialog and the run form.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "saver/settings/settings.h"
#include "saver/startup/startup.h"

namespace Sorvanta_B {

// What the start-up hands over to; the entry fills these in.
struct StartupHandOver {
  std::function<void()> loadSettings;
  std::function<void(std::uint32_t parentHandle)> embedPreview;
  std::function<void()> showSettingsDialog;
  std::function<bool()> loadRunForm;  // false when the form can't be created
};

// The program's own path in its long form and, where the volume keeps short names, in
// its short (8.3) form: the forms a command line may start with.
std::vector<std::string> programPaths();

class StartupPortWin32 final : public StartupPort {
 public:
  StartupPortWin32(StartupHandOver handOver, SettingsFiles& files);

  bool topLevelWindowExists(const std::string& caption) override;
  void embedPreview(std::uint32_t parentHandle) override;
  void createFolder(const std::string& path) override;
  void loadSettings() override;
  std::string programFolder() override;
  bool fileExists(const std::string& path) override;
  void showMessage(const std::string& text) override;
  void showSettingsDialog() override;
  int hideCursor() override;
  int showCursor() override;
  bool loadRunForm() override;

 private:
  StartupHandOver handOver_;
  SettingsFiles& files_;
};

}  // namespace Sorvanta_B
