// ASCII blanks and letter case as the front end's text readers use them. Which
// characters count as blanks differs from reader to reader; each set has a name.
#pragma once

#include <string>
#include <string_view>

namespace Sorvanta_B {

// Around a number in a setting, in the repeat combo's text and in a device's reply.
inline constexpr std::string_view kSpaceAndTab = " \t";
// Between the program name and its arguments, and anywhere in a leading number.
inline constexpr std::string_view kCommandLineBlanks = " \t\n";
// Around the names and values of the settings file.
inline constexpr std::string_view kProfileBlanks = " \t\r\v\f";

bool isBlankIn(char c, std::string_view blanks);
std::string_view withoutLeading(std::string_view text, std::string_view blanks);
std::string_view trimmed(std::string_view text, std::string_view blanks);
std::string withoutAny(std::string_view text, std::string_view blanks);

// Letter case of A to Z only; every other byte stays as it is.
char upperAscii(char c);
char lowerAscii(char c);
std::string upperAscii(std::string_view text);

}  // namespace Sorvanta_B
