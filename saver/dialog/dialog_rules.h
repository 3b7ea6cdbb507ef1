// The settings dialog's decisions, free of any window: which controls the chosen
// music kind enables, the repeat combo's texts and numeric rule, the background's
// row colours, where the panel texture is copied and where the window is placed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Sorvanta_P {

inline constexpr int kKindCount = 3;  // 0 none, 1 audio CD, 2 music file
inline constexpr int kNoMarkChosen = -1;

// The state of the kind marks and the two kind-dependent controls.
struct KindControls {
  int chosenMark = kNoMarkChosen;  // index of the mark showing the chosen picture
  bool repeatEnabled = false;      // BGM_Repeat
  bool fileButtonEnabled = false;  // Cmd_File
};

// The controls as the dialog's load leaves them for a stored kind; a kind outside
// 0 to 2 chooses no mark and disables both controls.
KindControls controlsForKind(int kind);

struct KindChoice {
  std::int16_t bgmKind = 0;
  KindControls controls;
};

// ChooseBgmKind: the new BgmKind and the controls after a click on mark or label.
KindChoice ChooseBgmKind(int index);

// A repeat value as the combo shows it ("##": 0 is the empty text).
std::string formatRepeat(int value);

// The combo's list: "" then "1" to "30".
std::vector<std::string> repeatListEntries();

// True when the text reads as a number as the classic decimal test has it: blanks
// around it, an optional sign, digits with at most one decimal point, an optional
// exponent; or &H / &O followed by hexadecimal / octal digits.
bool isNumericText(const std::string& text);

// The repeat value "設定" saves for the combo's text: the number rounded to the nearest
// whole (halves to even) when the text is numeric and fits a 16-bit signed integer,
// else 0.
std::int16_t repeatFromText(const std::string& text);

struct RowColour {
  int red = 0;
  int green = 0;
  int blue = 0;
};

// Colour of background row y in a client area of the given height: v is
// |sin(y / (height / 3.142)) * 220| rounded; the colour is (v, v, v + 30). A height
// of 0 or less gives the top-edge colour.
RowColour backgroundRowColour(int y, int height);

struct PixelPoint {
  int x = 0;
  int y = 0;
  bool operator==(const PixelPoint& other) const { return x == other.x && y == other.y; }
};

// TileTexture: where the strip is copied on a panel, in copy order, column by column.
// A strip with no width or height is never copied.
std::vector<PixelPoint> tileCopyPositions(int panelWidth, int panelHeight, int stripWidth,
                                          int stripHeight);

// The window's place in twips: centred across, one third of the way down.
PixelPoint dialogPosition(int screenWidth, int screenHeight, int windowWidth, int windowHeight);

}  // namespace Sorvanta_P
