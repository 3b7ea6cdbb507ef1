// The settings dialog (caption kSettingsDialogCaption): edits the background music's
// kind, repeat track and file, and writes them to the settings file on "設定". The
// instance is the program's HINSTANCE, passed as an opaque pointer so that this header
// needs no <windows.h>.
#pragma once

#include <string>

#include "saver/settings/settings.h"

namespace Sorvanta_P {

// Shows the dialog modally and returns once it has closed. A chosen kind, file and
// folder reach settings at once; the repeat value only on "設定".
void showSettingsDialog(void* instance, Sorvanta_B::MusicSettings& settings,
                        const std::string& programFolder);

}  // namespace Sorvanta_P
