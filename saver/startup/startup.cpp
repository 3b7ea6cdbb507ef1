#include "saver/startup/startup.h"

#include "exchange/tga_layout.h"

namespace Sorvanta_B {

namespace {

bool anotherCopyIsOpen(StartupPort& port) {
  return port.topLevelWindowExists(kRunFormCaption) ||
         port.topLevelWindowExists(kSettingsDialogCaption);
}

// Steps shared by every mode but the preview; false when the renderer is missing
// (the user has been told, and the program ends).
bool prepareRun(StartupPort& port) {
  port.createFolder(exchange::kFolder);
  port.loadSettings();
  if (!port.fileExists(port.programFolder() + kRendererFileName)) {
    port.showMessage(kMissingRendererMessage);
    return false;
  }
  return true;
}

}  // namespace

StartupOutcome runStartup(const std::string& arguments, StartupPort& port, StartupState& state) {
  state.commandLine = decodeCommandLine(arguments);
  const char mode = state.commandLine.modeLetter;
  if (anotherCopyIsOpen(port)) {
    return StartupOutcome::EndProgram;
  }
  if (mode == 'P') {
    port.embedPreview(state.commandLine.previewParent);
    return StartupOutcome::PreviewShown;
  }
  if (!prepareRun(port)) {
    return StartupOutcome::EndProgram;
  }
  if (mode == 'C') {
    port.showSettingsDialog();
    return StartupOutcome::EndProgram;
  }
  if (!state.commandLine.empty && mode != 'S') {
    return StartupOutcome::EndProgram;
  }
  if (mode == 'S') {
    state.savedCursorCount = port.hideCursor();
  }
  if (!port.loadRunForm()) {
    // No form will close to give the cursor back, so the failed start does.
    if (mode == 'S') {
      state.savedCursorCount = port.showCursor();
    }
    return StartupOutcome::EndProgram;
  }
  return StartupOutcome::RunFormLoaded;
}

}  // namespace Sorvanta_B
