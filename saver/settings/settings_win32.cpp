#include "saver/settings/settings_win32.h"

#include <windows.h>

#include "saver/text/wide_text_win32.h"

namespace Sorvanta_B {
namespace {

HANDLE openForReading(const std::string& path) {
  return CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool isMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

SettingsFiles::ReadStatus SettingsFilesWin32::read(const std::string& path, std::size_t limit,
                                                   std::string& bytes) {
  HANDLE file = openForReading(path);
  if (file == INVALID_HANDLE_VALUE) {
    return isMissing(GetLastError()) ? ReadStatus::Missing : ReadStatus::Failed;
  }
  LARGE_INTEGER size{};
  ReadStatus status = ReadStatus::Failed;
  if (GetFileSizeEx(file, &size) && static_cast<unsigned long long>(size.QuadPart) <= limit) {
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (bytes.empty() ||
        (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
         got == bytes.size())) {
      status = ReadStatus::Ok;
    }
  }
  CloseHandle(file);
  return status;
}

bool SettingsFilesWin32::write(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  CloseHandle(file);
  return ok;
}

bool SettingsFilesWin32::opensForReading(const std::string& path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open: it never counts as a file.
  HANDLE file = openForReading(path);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  CloseHandle(file);
  return true;
}

std::string programPath() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) {
      return {};
    }
    if (length < name.size()) {
      name.resize(length);
      return narrow(name);
    }
    name.resize(name.size() * 2);
  }
}

std::string programFolder() {
  const std::string path = programPath();
  return path.empty() ? std::string() : FolderOfPath(path);
}

}  // namespace Sorvanta_B
