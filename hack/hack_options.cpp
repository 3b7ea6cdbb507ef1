#include "hack_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace sorvanta::hack {

namespace {

// "--name" and "-name" are the same option; anything else is not an option at all.
const char* optionName(const char* argument) {
  if (argument[0] != '-') {
    return nullptr;
  }
  return argument[1] == '-' ? argument + 2 : argument + 1;
}

bool parseLong(const char* text, int base, long& value) {
  if (text == nullptr || *text == '\0') {
    return false;
  }
  errno = 0;
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, base);
  if (errno != 0 || *end != '\0') {
    return false;
  }
  value = parsed;
  return true;
}

// Reads an unsigned decimal number and moves past it.
bool readDimension(const char*& text, int& value) {
  if (*text < '0' || *text > '9') {
    return false;
  }
  long parsed = 0;
  while (*text >= '0' && *text <= '9') {
    parsed = parsed * 10 + (*text - '0');
    if (parsed > 100000) {
      return false;
    }
    ++text;
  }
  value = static_cast<int>(parsed);
  return true;
}

// Reads "+N" or "-N" and moves past it.
bool readOffset(const char*& text, int& value) {
  const char sign = *text;
  if (sign != '+' && sign != '-') {
    return false;
  }
  ++text;
  if (!readDimension(text, value)) {
    return false;
  }
  if (sign == '-') {
    value = -value;
  }
  return true;
}

// X's geometry: "WxH", "WxH+X+Y" or "+X+Y".
bool parseGeometry(const char* text, Options& options) {
  Options parsed = options;
  if (*text != '+' && *text != '-') {
    if (!readDimension(text, parsed.width) || (*text != 'x' && *text != 'X')) {
      return false;
    }
    ++text;
    if (!readDimension(text, parsed.height) || parsed.width == 0 || parsed.height == 0) {
      return false;
    }
  }
  if (*text != '\0') {
    if (!readOffset(text, parsed.x) || !readOffset(text, parsed.y) || *text != '\0') {
      return false;
    }
    parsed.placed = true;
  }
  options = parsed;
  return true;
}

bool applyWindowId(const char* value, Options& options) {
  options.target = Target::kGivenWindow;
  return parseWindowId(value, options.windowId);
}

bool applyDelay(const char* value, Options& options) {
  long delay = 0;
  if (!parseLong(value, 10, delay) || delay < 0) {
    return false;
  }
  options.delayMicroseconds = delay;
  return true;
}

const OptionEntry kOptions[] = {
    {"window", nullptr, "draw in a window of its own (the default)",
     [](const char*, Options& options) {
       options.target = Target::kOwnWindow;
       return true;
     }},
    {"root", nullptr, "draw in $XSCREENSAVER_WINDOW, else in the root window",
     [](const char*, Options& options) {
       options.target = Target::kRoot;
       return true;
     }},
    {"window-id", "ID", "draw in the given window (hexadecimal with 0x, or decimal)",
     applyWindowId},
    {"geometry", "WxH[+X+Y]", "the size and place of its own window", parseGeometry},
    {"delay", "MICROSECONDS", "the delay between frames", applyDelay},
    {"fps", nullptr, "show the frame rate in the top left corner",
     [](const char*, Options& options) {
       options.showFps = true;
       return true;
     }},
    {"no-fps", nullptr, "do not show it (the default)",
     [](const char*, Options& options) {
       options.showFps = false;
       return true;
     }},
    {"display", "NAME", "the X display to draw on, instead of $DISPLAY",
     [](const char* value, Options& options) {
       options.display = value;
       return true;
     }},
};

const OptionEntry* findOption(const char* name) {
  for (const OptionEntry& entry : optionTable()) {
    if (std::strcmp(entry.name, name) == 0) {
      return &entry;
    }
  }
  return nullptr;
}

}  // namespace

OptionList optionTable() {
  return {kOptions, sizeof kOptions / sizeof kOptions[0]};
}

bool parseWindowId(const char* text, unsigned long& id) {
  if (text == nullptr) {
    return false;
  }
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  long value = 0;
  if (!parseLong(hex ? text + 2 : text, hex ? 16 : 10, value) || value <= 0) {
    return false;
  }
  id = static_cast<unsigned long>(value);
  return true;
}

bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error) {
  Options parsed;
  for (int i = 1; i < argc; ++i) {
    const char* name = optionName(argv[i]);
    if (name == nullptr) {
      error = std::string("unexpected argument: ") + argv[i];
      return false;
    }
    const OptionEntry* entry = findOption(name);
    if (entry == nullptr) {
      error = std::string("unknown option: ") + argv[i];
      return false;
    }
    if (!entry->takesValue()) {
      entry->apply(nullptr, parsed);
      continue;
    }
    if (i + 1 >= argc) {
      error = std::string("missing value for ") + argv[i];
      return false;
    }
    ++i;
    if (!entry->apply(argv[i], parsed)) {
      error = std::string("bad value for ") + argv[i - 1] + ": " + argv[i];
      return false;
    }
  }
  options = parsed;
  return true;
}

std::string usageText() {
  // The names and their placeholders in one column, the help lines after it.
  std::size_t width = 0;
  for (const OptionEntry& entry : optionTable()) {
    const std::size_t length =
        std::strlen(entry.name) + (entry.takesValue() ? 1 + std::strlen(entry.placeholder) : 0);
    width = length > width ? length : width;
  }
  std::string text = "usage: sorvanta [OPTION]...\n";
  for (const OptionEntry& entry : optionTable()) {
    std::string left = std::string("  -") + entry.name;
    if (entry.takesValue()) {
      left += std::string(" ") + entry.placeholder;
    }
    left.resize(width + 5, ' ');
    text += left + entry.help + "\n";
  }
  return text + "Options take one dash or two.\n";
}

}  // namespace sorvanta::hack
