// The front end's start-up: guards against a second copy, decodes the mode, prepares
// what a run needs and hands over to the preview, the settings dialog or the run form.
#pragma once

#include <cstdint>
#include <string>

#include "exchange/window_names.h"
#include "saver/startup/command_line.h"

namespace Sorvanta_B {

// The run form's and the settings dialog's captions mark a running saver and an open
// settings dialog.
using exchange::kRunFormCaption;
using exchange::kSettingsDialogCaption;
inline constexpr char kRendererFileName[] = "\\Sorvanta.dll";
inline constexpr char kMissingRendererMessage[] = "Sorvanta.dll が同じﾌｫﾙﾀﾞに見つかりません！";

// What start-up needs of the platform and of the other parts of the front end.
class StartupPort {
 public:
  virtual ~StartupPort() = default;
  virtual bool topLevelWindowExists(const std::string& caption) = 0;
  virtual void embedPreview(std::uint32_t parentHandle) = 0;
  virtual void createFolder(const std::string& path) = 0;
  virtual void loadSettings() = 0;
  virtual std::string programFolder() = 0;
  virtual bool fileExists(const std::string& path) = 0;
  // An OK-only message box with the application's title; returns once closed.
  virtual void showMessage(const std::string& text) = 0;
  // Modal; returns when the dialog has closed.
  virtual void showSettingsDialog() = 0;
  // One cursor-hiding call, and one cursor-showing call; each returns the display
  // count it reports.
  virtual int hideCursor() = 0;
  virtual int showCursor() = 0;
  // Loads the run form without showing it (its load handler runs); false when the
  // form could not be created.
  virtual bool loadRunForm() = 0;
};

enum class StartupOutcome {
  EndProgram,     // the process ends now
  PreviewShown,   // lives while the preview form is loaded
  RunFormLoaded,  // lives while the run form is loaded
};

struct StartupState {
  CommandLine commandLine;
  int savedCursorCount = 0;  // what the cursor hiding returned, for the end of the run
};

StartupOutcome runStartup(const std::string& arguments, StartupPort& port, StartupState& state);

}  // namespace Sorvanta_B
