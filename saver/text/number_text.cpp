#include "saver/text/number_text.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "saver/text/ascii_text.h"

namespace Sorvanta_B {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isSign(char c) {
  return c == '+' || c == '-';
}

bool isExponentLetter(char c, ExponentLetters letters) {
  const char upper = upperAscii(c);
  return upper == 'E' || (letters == ExponentLetters::EOrD && upper == 'D');
}

std::size_t digitsEnd(std::string_view text, std::size_t at) {
  while (at < text.size() && isDigit(text[at])) {
    ++at;
  }
  return at;
}

// The value of a decimal number's text, its D exponent read as E.
double decimalValue(std::string_view decimal) {
  std::string number(decimal);
  for (char& c : number) {
    if (c == 'd' || c == 'D') {
      c = 'E';
    }
  }
  return std::strtod(number.c_str(), nullptr);
}

// 16 after &H, 8 after &O (either case), 0 when the text has neither prefix.
int radixBase(std::string_view text) {
  if (text.size() < 2 || text[0] != '&') {
    return 0;
  }
  const char letter = upperAscii(text[1]);
  return letter == 'H' ? 16 : (letter == 'O' ? 8 : 0);
}

struct RadixDigits {
  double value = 0;
  std::size_t count = 0;
};

// The digits of `base` from the start of text, up to the first that is not one.
RadixDigits radixDigits(std::string_view text, int base) {
  RadixDigits digits;
  for (char c : text) {
    const char upper = upperAscii(c);
    int digit = -1;
    if (isDigit(upper)) {
      digit = upper - '0';
    } else if (upper >= 'A' && upper <= 'F') {
      digit = upper - 'A' + 10;
    }
    if (digit < 0 || digit >= base) {
      break;
    }
    digits.value = digits.value * base + digit;
    ++digits.count;
  }
  return digits;
}

}  // namespace

std::size_t decimalPrefixLength(std::string_view text, ExponentLetters letters) {
  std::size_t i = 0;
  if (i < text.size() && isSign(text[i])) {
    ++i;
  }
  const std::size_t mantissaStart = i;
  i = digitsEnd(text, i);
  std::size_t mantissaDigits = i - mantissaStart;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fractionStart = i + 1;
    i = digitsEnd(text, fractionStart);
    mantissaDigits += i - fractionStart;
  }
  if (mantissaDigits == 0) {
    return 0;
  }
  if (i < text.size() && isExponentLetter(text[i], letters)) {
    std::size_t e = i + 1;
    if (e < text.size() && isSign(text[e])) {
      ++e;
    }
    const std::size_t exponentEnd = digitsEnd(text, e);
    if (exponentEnd > e) {
      i = exponentEnd;
    }
  }
  return i;
}

bool readWholeDecimal(std::string_view text, ExponentLetters letters, double& value) {
  const std::string_view number = trimmed(text, kSpaceAndTab);
  if (number.empty() || decimalPrefixLength(number, letters) != number.size()) {
    return false;
  }
  value = decimalValue(number);
  return true;
}

long long readWholeRadix(std::string_view text) {
  const std::string_view number = trimmed(text, kSpaceAndTab);
  const int base = radixBase(number);
  if (base == 0 || number.size() < 3) {
    return -1;
  }
  const RadixDigits digits = radixDigits(number.substr(2), base);
  if (digits.count != number.size() - 2 || digits.value > 4294967295.0) {
    return -1;
  }
  return static_cast<long long>(digits.value);
}

double readLeadingNumber(std::string_view text) {
  const std::string compact = withoutAny(text, kCommandLineBlanks);
  if (const int base = radixBase(compact); base != 0) {
    return roundHalfToEven(radixDigits(std::string_view(compact).substr(2), base).value);
  }
  const std::size_t length = decimalPrefixLength(compact, ExponentLetters::EOrD);
  return length == 0 ? 0.0 : roundHalfToEven(decimalValue(compact.substr(0, length)));
}

double roundHalfToEven(double value) {
  const double below = std::floor(value);
  const double fraction = value - below;
  if (fraction > 0.5) {
    return below + 1.0;
  }
  if (fraction < 0.5) {
    return below;
  }
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

}  // namespace Sorvanta_B
