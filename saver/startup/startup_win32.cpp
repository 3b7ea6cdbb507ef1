#include "saver/startup/startup_win32.h"

#include "saver/settings/settings_win32.h"
#include "saver/text/wide_text_win32.h"

namespace Sorvanta_B {

namespace {

// The caption of the front end's one message box.
constexpr wchar_t kApplicationTitle[] = L"Sorvanta";

// The short form of a path; empty when Windows gives none.
std::string shortPathOf(const std::string& path) {
  const std::wstring longPath = widen(path);
  std::wstring shortPath(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetShortPathNameW(longPath.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (length == 0) {
      return {};
    }
    if (length < shortPath.size()) {
      shortPath.resize(length);
      return narrow(shortPath);
    }
    shortPath.resize(length);  // the size needed, its terminating null included
  }
}

}  // namespace

std::vector<std::string> programPaths() {
  std::vector<std::string> paths{programPath()};
  const std::string shortPath = shortPathOf(paths.front());
  if (!shortPath.empty() && shortPath != paths.front()) {
    paths.push_back(shortPath);
  }
  return paths;
}

StartupPortWin32::StartupPortWin32(StartupHandOver handOver, SettingsFiles& files)
    : handOver_(std::move(handOver)), files_(files) {}

bool StartupPortWin32::topLevelWindowExists(const std::string& caption) {
  return FindWindowW(nullptr, widen(caption).c_str()) != nullptr;
}

void StartupPortWin32::embedPreview(std::uint32_t parentHandle) {
  handOver_.embedPreview(parentHandle);
}

void StartupPortWin32::createFolder(const std::string& path) {
  CreateDirectoryW(widen(path).c_str(), nullptr);  // an existing folder is no error
}

void StartupPortWin32::loadSettings() {
  handOver_.loadSettings();
}

std::string StartupPortWin32::programFolder() {
  return Sorvanta_B::programFolder();
}

bool StartupPortWin32::fileExists(const std::string& path) {
  return FileExists(path, files_);
}

void StartupPortWin32::showMessage(const std::string& text) {
  MessageBoxW(nullptr, widen(text).c_str(), kApplicationTitle, MB_OK);
}

void StartupPortWin32::showSettingsDialog() {
  handOver_.showSettingsDialog();
}

int StartupPortWin32::hideCursor() {
  return ShowCursor(FALSE);
}

int StartupPortWin32::showCursor() {
  return ShowCursor(TRUE);
}

bool StartupPortWin32::loadRunForm() {
  return handOver_.loadRunForm();
}

}  // namespace Sorvanta_B
