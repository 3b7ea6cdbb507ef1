#include "saver/dialog/dialog_rules.h"

#include <cmath>
#include <limits>

#include "saver/text/number_text.h"

namespace Sorvanta_P {
namespace {

using Sorvanta_B::ExponentLetters;
using Sorvanta_B::readWholeDecimal;
using Sorvanta_B::readWholeRadix;
using Sorvanta_B::roundHalfToEven;

constexpr double kRowDivisor = 3.142;  // the background's half wave; deliberately not pi
constexpr double kRowBrightness = 220.0;
constexpr int kRowBlueLift = 30;
constexpr int kRepeatListLast = 30;

// A hexadecimal or octal text reads as a 16-bit value when it has at most 16 bits and
// as a 32-bit value otherwise, both two's complement.
double radixAsSigned(long long value) {
  if (value <= 0xFFFF) {
    return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
  }
  return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
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
  double value = 0.0;
  return readWholeDecimal(text, ExponentLetters::EOrD, value) || readWholeRadix(text) >= 0;
}

std::int16_t repeatFromText(const std::string& text) {
  double value = 0.0;
  if (!readWholeDecimal(text, ExponentLetters::EOrD, value)) {
    const long long radix = readWholeRadix(text);
    if (radix < 0) {
      return 0;
    }
    value = radixAsSigned(radix);
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
