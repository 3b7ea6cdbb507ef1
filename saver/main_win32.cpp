// Sorvanta.scr's entry: the process-wide settings, the platform ports, the start-up,
// and the message loop that lives as long as one of the front end's forms is loaded.
#include <windows.h>

#include <memory>

#include "exchange/system_dlls_win32.h"
#include "saver/dialog/settings_dialog_win32.h"
#include "saver/music/bgm_win32.h"
#include "saver/preview/preview_win32.h"
#include "saver/music/music_player.h"
#include "saver/run/run_form_win32.h"
#include "saver/settings/settings.h"
#include "saver/settings/settings_win32.h"
#include "saver/startup/startup_win32.h"
#include "saver/text/wide_text_win32.h"

namespace {

using namespace Sorvanta_B;

// Everything the front end keeps for the life of the process.
struct FrontEnd {
  explicit FrontEnd(HINSTANCE module) : instance(module) {}

  HINSTANCE instance;
  MusicSettings settings;  // BgmKind, BgmRepeat, BgmFile, BgmFolder
  SettingsFilesWin32 files;
  StartupState startup;
  Sorvanta_BGM::MciPortWin32 mci;
  Sorvanta_BGM::SoundPortWin32 sound;
  Sorvanta_BGM::Music music{mci, sound, settings};
  Sorvanta_BGM::BgmMusicPlayer player{music};
  std::unique_ptr<Sorvanta_S> runForm;
  bool formLoaded = false;  // the run form or the preview form

  StartupHandOver handOver() {
    StartupHandOver steps;
    steps.loadSettings = [this] { LoadSettings(settings, programFolder(), files); };
    steps.embedPreview = [this](std::uint32_t parent) {
      embedPreview(instance, parent);
      formLoaded = true;  // the preview ends its own loop when it goes
    };
    steps.showSettingsDialog = [this] {
      Sorvanta_P::showSettingsDialog(instance, settings, programFolder());
    };
    steps.loadRunForm = [this] { return loadRunForm(); };
    return steps;
  }

  bool loadRunForm() {
    RunSettings run;
    run.bgmKind = settings.BgmKind;
    run.bgmFile = settings.BgmFile;
    run.modeLetter = startup.commandLine.modeLetter;
    run.programFolder = programFolder();
    runForm = Sorvanta_S::load(instance, run, player, startup.savedCursorCount);
    formLoaded = runForm != nullptr;
    return formLoaded;
  }
};

int runMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  exchange::restrictDllSearchToSystem32();
  auto frontEnd = std::make_unique<FrontEnd>(instance);
  StartupPortWin32 port(frontEnd->handOver(), frontEnd->files);
  const std::string arguments = argumentsAfterProgram(narrow(GetCommandLineW()), programPaths());
  const StartupOutcome outcome = runStartup(arguments, port, frontEnd->startup);
  if (outcome == StartupOutcome::EndProgram || !frontEnd->formLoaded) {
    return 0;
  }
  return runMessageLoop();
}
