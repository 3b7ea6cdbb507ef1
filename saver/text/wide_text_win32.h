// UTF-8 (the portable code's text) to UTF-16 (the W functions) and back, at the
// boundary between the portable code and Windows.
#pragma once

#include <string>

namespace Sorvanta_B {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

}  // namespace Sorvanta_B
