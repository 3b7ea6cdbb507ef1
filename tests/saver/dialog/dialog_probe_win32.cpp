// Shows the settings dialog outside Sorvanta.scr, for tests/e2e/test_dialog.py: the
// settings come from Sorvanta.ini beside the program; once the dialog has closed the
// values it left in memory go to dialog_probe.log (UTF-8), one "name=value" a line.
#include <windows.h>

#include <cstdio>
#include <string>

#include "saver/dialog/settings_dialog_win32.h"
#include "saver/settings/settings_win32.h"
#include "saver/text/wide_text_win32.h"

int wmain() {
  const std::string folder = Sorvanta_B::programFolder();
  Sorvanta_B::SettingsFilesWin32 files;
  Sorvanta_B::MusicSettings settings;
  Sorvanta_B::LoadSettings(settings, folder, files);
  Sorvanta_P::showSettingsDialog(GetModuleHandleW(nullptr), settings, folder);
  const std::string text = "BgmKind=" + std::to_string(settings.BgmKind) +
                           "\nBgmRepeat=" + std::to_string(settings.BgmRepeat) +
                           "\nBgmFile=" + settings.BgmFile + "\nBgmFolder=" + settings.BgmFolder +
                           "\n";
  std::FILE* log = _wfopen(Sorvanta_B::widen(folder + "\\dialog_probe.log").c_str(), L"wb");
  if (!log)
    return 1;
  std::fwrite(text.data(), 1, text.size(), log);
  std::fclose(log);
  return 0;
}
