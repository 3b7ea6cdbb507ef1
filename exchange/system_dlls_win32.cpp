#include "exchange/system_dlls_win32.h"

#include <string>

// The delay-load helper of MinGW-w64's runtime, which delayimp.h does not declare.
extern "C" FARPROC WINAPI __delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC* entry);

namespace exchange {
namespace {

// The full path of `name` in System32, or empty.
std::wstring system32Path(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return {};
  }
  return std::wstring(folder, length) + L"\\" + name;
}

// Every DLL the delay-load helper is about to load by name comes from System32. Null
// (nothing there) lets the helper try itself, through the search restricted above,
// and the step that asked its SystemDll first never gets this far.
FARPROC WINAPI loadDelayedFromSystem32(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary || info == nullptr || info->szDll == nullptr) {
    return nullptr;
  }
  const std::string narrowName(info->szDll);
  const std::wstring name(narrowName.begin(), narrowName.end());  // DLL names are ASCII
  return reinterpret_cast<FARPROC>(loadSystemDll(name.c_str()));
}

}  // namespace

void restrictDllSearchToSystem32() {
  using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto call = reinterpret_cast<SetDefaultDllDirectoriesCall>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (call != nullptr) {
    call(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
}

HMODULE loadSystemDll(const wchar_t* name) {
  HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) {
    return module;
  }
  // A loader without the search flags: the full path, and the DLL's own folder
  // (System32) first for what it needs in turn.
  const std::wstring path = system32Path(name);
  return path.empty() ? nullptr
                      : LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool bindSystemDll(const wchar_t* name, const ImgDelayDescr& descriptor) {
  if (loadSystemDll(name) == nullptr) {
    return false;
  }
  // dlltool's descriptors hold addresses relative to the image (grAttrs dlattrRva).
  auto* image = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  auto* entries = reinterpret_cast<FARPROC*>(image + descriptor.rvaIAT);
  for (FARPROC* entry = entries; *entry != nullptr; ++entry) {
    if (__delayLoadHelper2(&descriptor, entry) == nullptr) {
      return false;
    }
  }
  return true;
}

bool SystemDll::available() {
  if (!asked_) {
    asked_ = true;
    loaded_ = loadSystemDll(name_) != nullptr;
  }
  return loaded_;
}

}  // namespace exchange

// The delay-load helper's notification hook (delayimp.h), read by the helper before
// each DLL it loads (declared extern "C" there).
PfnDliHook __pfnDliNotifyHook2 = exchange::loadDelayedFromSystem32;
