// Code page 932 (Shift-JIS as Windows has it) <-> UTF-8, without the platform: the
// settings file stays in code page 932 whatever the system's code page.
#pragma once

#include <string>
#include <string_view>

namespace Sorvanta_B {

// Bytes that no character has decode to U+FFFD; a lead byte at the very end too.
std::string cp932ToUtf8(std::string_view bytes);
// Characters code page 932 lacks, and malformed UTF-8, encode to "?".
std::string utf8ToCp932(std::string_view utf8);
// True when `b` starts a two-byte character.
bool isCp932LeadByte(unsigned char b);

// UTF-16 code units (little-endian bytes) <-> UTF-8, for files that carry a UTF-16 mark.
std::string utf16leToUtf8(std::string_view bytes);
std::string utf8ToUtf16le(std::string_view utf8);

}  // namespace Sorvanta_B
