// What the Windows probes of the tests print: UTF-16 text from Windows as UTF-8.
#pragma once

#include <windows.h>

#include <string>

inline std::string utf8(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), length, nullptr, nullptr);
  out.resize(static_cast<size_t>(length > 0 ? length - 1 : 0));
  return out;
}
