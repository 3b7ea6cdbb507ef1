// The hack's command line: what it sets (Options) and the one table of options that
// the parser, the usage text and the tests of the manual page and sorvanta.xml all
// read, so that an option is added by one entry there. Portable.
#pragma once

#include <cstddef>
#include <string>

namespace sorvanta::hack {

// XScreenSaver's GL hacks wait this long between frames unless told otherwise.
inline constexpr long kDefaultDelayMicroseconds = 30000;
inline constexpr int kDefaultWidth = 1024;
inline constexpr int kDefaultHeight = 768;

enum class Target {
  kOwnWindow,    // a window of its own, sized by -geometry
  kGivenWindow,  // -window-id ID
  kRoot,         // -root: $XSCREENSAVER_WINDOW when set, else the root window
};

struct Options {
  Target target = Target::kOwnWindow;
  unsigned long windowId = 0;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  int x = 0;
  int y = 0;
  bool placed = false;  // -geometry gave a position
  long delayMicroseconds = kDefaultDelayMicroseconds;
  bool showFps = false;
  std::string display;  // empty: $DISPLAY
};

// One option of the command line.
struct OptionEntry {
  const char* name;         // without its dashes: "window-id"
  const char* placeholder;  // its value in the usage text ("ID"); nullptr: it takes none
  const char* help;         // one line for the usage text
  // Puts it into the options; `value` is nullptr for an option that takes none.
  // False when the value is not one it accepts.
  bool (*apply)(const char* value, Options& options);

  bool takesValue() const { return placeholder != nullptr; }
};

// Every option, read-only, in the order the usage text lists them.
struct OptionList {
  const OptionEntry* first;
  std::size_t count;
  const OptionEntry* begin() const { return first; }
  const OptionEntry* end() const { return first + count; }
};
OptionList optionTable();

// Reads the command line (argv[0] is the program). Options take one dash or two
// (XScreenSaver 6 starts "sorvanta -root" as "sorvanta --root"). False with a reason
// in `error` for an unknown option, a missing value or a value out of range.
bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error);

// An X window ID as XScreenSaver writes it: hexadecimal with 0x, or decimal.
bool parseWindowId(const char* text, unsigned long& id);

// What a bad command line prints after its reason: one line per option of the table.
std::string usageText();

}  // namespace sorvanta::hack
