// Reads back what a program carries for Windows, the way Windows itself reads it:
// its version information (GetFileVersionInfoW), its manifest (an activation context
// made from resource 1) and its string resource 1. Prints key=value lines in UTF-8.
//
//   version_probe PROGRAM
#include <windows.h>

#include <cstdio>
#include <string>

#include "probe_text.h"
#include <vector>

namespace {

void printQuad(const char* name, DWORD high, DWORD low) {
  std::printf("%s=%u.%u.%u.%u\n", name, static_cast<unsigned>(HIWORD(high)),
              static_cast<unsigned>(LOWORD(high)), static_cast<unsigned>(HIWORD(low)),
              static_cast<unsigned>(LOWORD(low)));
}

void printVersionInfo(const wchar_t* program) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(program, &handle);
  std::vector<unsigned char> data(size);
  if (size == 0 || !GetFileVersionInfoW(program, 0, size, data.data())) {
    return;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)) {
    printQuad("fixed_file_version", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    printQuad("fixed_product_version", fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  }
  const wchar_t* names[] = {L"ProductName",     L"ProductVersion", L"FileVersion",
                            L"CompanyName",     L"LegalCopyright", L"FileDescription",
                            L"OriginalFilename"};
  for (const wchar_t* name : names) {
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    wchar_t* value = nullptr;
    if (VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
      std::printf("%s=%s\n", utf8(name).c_str(), utf8(value).c_str());
    }
  }
}

void printManifest(const wchar_t* program) {
  ACTCTXW request{};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = program;
  request.lpResourceName = MAKEINTRESOURCEW(1);
  HANDLE context = CreateActCtxW(&request);
  if (context == INVALID_HANDLE_VALUE) {
    std::printf("manifest=none\n");
    return;
  }
  std::printf("manifest=1\n");
  const struct {
    const wchar_t* ns;
    const wchar_t* name;
  } settings[] = {{L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"},
                  {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"}};
  for (const auto& setting : settings) {
    wchar_t value[256] = {};
    SIZE_T written = 0;
    if (QueryActCtxSettingsW(0, context, setting.ns, setting.name, value, 256, &written)) {
      std::printf("%s=%s\n", utf8(setting.name).c_str(), utf8(value).c_str());
    }
  }
  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
  if (QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                   sizeof level, nullptr)) {
    std::printf("run_level=%d\n", static_cast<int>(level.RunLevel));
  }
  ReleaseActCtx(context);
}

void printNameString(const wchar_t* program) {
  HMODULE module = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) {
    return;
  }
  wchar_t text[256] = {};
  if (LoadStringW(module, 1, text, 256) > 0) {
    std::printf("string1=%s\n", utf8(text).c_str());
  }
  FreeLibrary(module);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc != 2) {
    std::fprintf(stderr, "usage: version_probe PROGRAM\n");
    return 2;
  }
  printVersionInfo(argv[1]);
  printManifest(argv[1]);
  printNameString(argv[1]);
  return 0;
}
