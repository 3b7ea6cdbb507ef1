#include "saver/dialog/dialog_rules.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace Sorvanta_P {
namespace {

constexpr double kRowDivisor = 3.142;  // the background's half wave; deliberately not pi
constexpr double kRowBrightness = 220.0;
constexpr int kRowBlueLift = 30;
constexpr int kRepeatListLast = 30;

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string trimmed(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && isBlank(text[first])) {
    ++first;
  }
  while (last > first && isBlank(text[last - 1])) {
    --last;
  }
  return text.substr(first, last - first);
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Digits of the given base after an &H or &O prefix; the value, or -1 when the text is
// not such a number or does not fit 32 bits.
long long radixValue(const std::string& text) {
  if (text.size() < 3 || text[0] != '&') {
    return -1;
  }
  const char prefix = static_cast<char>(std::toupper(static_cast<unsigned char>(text[1])));
  const int base = prefix == 'H' ? 16 : (prefix == 'O' ? 8 : 0);
  if (base == 0) {
    return -1;
  }
  long long value = 0;
  for (std::size_t i = 2; i < text.size(); ++i) {
    const int digit = std::isxdigit(static_cast<unsigned char>(text[i]))
                          ? std::stoi(std::string(1, text[i]), nullptr, 16)
                          : 99;
    if (digit >= base) {
      return -1;
    }
    value = value * base + digit;
    if (value > 0xFFFFFFFFLL) {
      return -1;
    }
  }
  return value;
}

// Decimal form: [sign] digits [. digits] [(e|d) [sign] digits], at least one mantissa digit.
bool isDecimalText(const std::string& text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    ++i;
  }
  int mantissaDigits = 0;
  while (i < text.size() && isDigit(text[i])) {
    ++i;
    ++mantissaDigits;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) {
      ++i;
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) {
    return false;
  }
  if (i < text.size() && std::strchr("eEdD", text[i]) != nullptr) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      ++i;
    }
    int exponentDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
      ++i;
      ++exponentDigits;
    }
    if (exponentDigits == 0) {
      return false;
    }
  }
  return i == text.size();
}

double decimalValue(std::string text) {
  for (char& c : text) {
    if (c == 'd' || c == 'D') {
      c = 'e';
    }
  }
  return std::strtod(text.c_str(), nullptr);
}

// A hexadecimal or octal text reads as a 16-bit value when it has at most 16 bits and
// as a 32-bit value otherwise, both two's complement.
double radixAsSigned(long long value) {
  if (value <= 0xFFFF) {
    return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
  }
  return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
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

int roundToInt(double value) {
  return static_cast<int>(roundHalfToEven(value));
}

}  // namespace

KindControls controlsForKind(int kind) {
  KindControls controls;
  if (kind >= 0 && kind < kKindCount) {
    controls.chosenMark = kind;
  }
  controls.repeatEnabled = kind == 1;
  controls.fileButtonEnabled = kind == 2;
  return controls;
}

KindChoice ChooseBgmKind(int index) {
  KindChoice choice;
  choice.bgmKind = static_cast<std::int16_t>(index);
  choice.controls = controlsForKind(index);
  return choice;
}

std::string formatRepeat(int value) {
  return value == 0 ? std::string() : std::to_string(value);
}

std::vector<std::string> repeatListEntries() {
  std::vector<std::string> entries;
  for (int value = 0; value <= kRepeatListLast; ++value) {
    entries.push_back(formatRepeat(value));
  }
  return entries;
}

bool isNumericText(const std::string& text) {
  const std::string number = trimmed(text);
  return isDecimalText(number) || radixValue(number) >= 0;
}

std::int16_t repeatFromText(const std::string& text) {
  const std::string number = trimmed(text);
  double value = 0.0;
  if (isDecimalText(number)) {
    value = decimalValue(number);
  } else if (const long long radix = radixValue(number); radix >= 0) {
    value = radixAsSigned(radix);
  } else {
    return 0;
  }
  if (!std::isfinite(value)) {
    return 0;
  }
  const double rounded = roundHalfToEven(value);
  if (rounded < std::numeric_limits<std::int16_t>::min() ||
      rounded > std::numeric_limits<std::int16_t>::max()) {
    return 0;
  }
  return static_cast<std::int16_t>(rounded);
}

RowColour backgroundRowColour(int y, int height) {
  int v = 0;
  if (height > 0) {
    v = roundToInt(std::fabs(std::sin(y / (height / kRowDivisor)) * kRowBrightness));
  }
  return RowColour{v, v, v + kRowBlueLift};
}

std::vector<PixelPoint> tileCopyPositions(int panelWidth, int panelHeight, int stripWidth,
                                          int stripHeight) {
  std::vector<PixelPoint> positions;
  if (stripWidth <= 0 || stripHeight <= 0) {
    return positions;
  }
  int x = 0;
  int y = 0;
  for (;;) {
    positions.push_back(PixelPoint{x, y});
    if (y <= panelHeight) {
      y += stripHeight;
    } else if (x > panelWidth) {
      return positions;
    } else {
      x += stripWidth;
      y = 0;
    }
  }
}

PixelPoint dialogPosition(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
  return PixelPoint{(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 3};
}

}  // namespace Sorvanta_P
