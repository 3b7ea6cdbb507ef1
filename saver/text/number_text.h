// Numbers written as text: the one grammar of a decimal number, the &H / &O forms, the
// command line's leading-number read and rounding halves to even. The front end's
// readers differ in which exponent letters they take and in how much of the text must
// be the number; each difference is a parameter or a function of its own here.
#pragma once

#include <cstddef>
#include <string_view>

namespace Sorvanta_B {

// The settings file and the device replies take an exponent written with E only; the
// command line and the repeat combo also take D.
enum class ExponentLetters { E, EOrD };

// Length of the longest prefix of text that is a decimal number: an optional sign,
// digits with at most one decimal point (at least one digit), and an exponent when its
// letter, an optional sign and at least one digit follow. 0 when there is none.
std::size_t decimalPrefixLength(std::string_view text, ExponentLetters letters);

// True when the whole text, spaces and tabs around it aside, is a decimal number; its
// value (infinite when too large for a double) goes to `value`.
bool readWholeDecimal(std::string_view text, ExponentLetters letters, double& value);

// The whole text, spaces and tabs around it aside, is &H with hexadecimal or &O with
// octal digits (at least one, letters in either case): the value when it fits 32
// bits, else -1.
long long readWholeRadix(std::string_view text);

// Reads a number the way a decimal reader does: blanks, tabs and line feeds are
// skipped anywhere, reading stops at the first character that cannot continue the
// number, and text without a number gives 0. &H and &O prefixes read hexadecimal and
// octal. The result is rounded to the nearest whole number (halves to even).
double readLeadingNumber(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour, whatever the
// floating-point rounding mode.
double roundHalfToEven(double value);

}  // namespace Sorvanta_B
