// Reads a shortcut (.lnk) back the way the shell does, through IShellLinkW and
// IPersistFile. Prints key=value lines in UTF-8: target, arguments, working folder,
// description, icon.
//
//   shortcut_probe LINK
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "probe_text.h"

namespace {

void print(const char* name, const wchar_t* value) {
  std::printf("%s=%s\n", name, utf8(value).c_str());
}

int printLink(IShellLinkW* link, const wchar_t* path) {
  IPersistFile* file = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    return 1;
  }
  const HRESULT loaded = file->Load(path, STGM_READ);
  file->Release();
  if (FAILED(loaded)) {
    return 1;
  }
  wchar_t text[MAX_PATH * 2] = {};
  int icon = 0;
  if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH)))
    print("target", text);
  if (SUCCEEDED(link->GetArguments(text, MAX_PATH * 2)))
    print("arguments", text);
  if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH)))
    print("folder", text);
  if (SUCCEEDED(link->GetDescription(text, MAX_PATH)))
    print("description", text);
  if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &icon))) {
    print("icon", text);
    std::printf("icon_index=%d\n", icon);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: shortcut_probe LINK\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IShellLinkW* link = nullptr;
  int result = 1;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    result = printLink(link, argv[1]);
    link->Release();
  }
  CoUninitialize();
  return result;
}
