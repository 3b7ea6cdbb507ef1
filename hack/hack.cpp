#include "hack.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "exchange/tga_layout.h"

namespace sorvanta::hack {

const char kUsage[] =
    "usage: sorvanta [-root | -window-id ID | -window] [-geometry WxH[+X+Y]]\n"
    "                [-delay MICROSECONDS] [-fps] [-display NAME]\n"
    "Options take one dash or two.\n";

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

bool needsValue(const std::string& name) {
  return name == "window-id" || name == "geometry" || name == "delay" || name == "display";
}

bool applyValue(const std::string& name, const char* value, Options& options) {
  if (name == "window-id") {
    options.target = Target::kGivenWindow;
    return parseWindowId(value, options.windowId);
  }
  if (name == "geometry") {
    return parseGeometry(value, options);
  }
  if (name == "delay") {
    long delay = 0;
    if (!parseLong(value, 10, delay) || delay < 0) {
      return false;
    }
    options.delayMicroseconds = delay;
    return true;
  }
  options.display = value;  // "display"
  return true;
}

bool applyFlag(const std::string& name, Options& options) {
  if (name == "root") {
    options.target = Target::kRoot;
  } else if (name == "window") {
    options.target = Target::kOwnWindow;
  } else if (name == "fps") {
    options.showFps = true;
  } else if (name == "no-fps") {
    options.showFps = false;
  } else {
    return false;
  }
  return true;
}

}  // namespace

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
    const std::string option(name);
    if (needsValue(option)) {
      if (i + 1 >= argc) {
        error = std::string("missing value for ") + argv[i];
        return false;
      }
      ++i;
      if (!applyValue(option, argv[i], parsed)) {
        error = std::string("bad value for ") + argv[i - 1] + ": " + argv[i];
        return false;
      }
    } else if (!applyFlag(option, parsed)) {
      error = std::string("unknown option: ") + argv[i];
      return false;
    }
  }
  options = parsed;
  return true;
}

std::vector<std::uint8_t> encodeExchangeImage(const std::vector<std::uint32_t>& pixels, int width,
                                              int height) {
  const exchange::TgaHeader header =
      exchange::makeHeader(width, height, exchange::kImageTypeUncompressed);
  std::vector<std::uint8_t> bytes(exchange::kHeaderSize);
  std::memcpy(bytes.data(), &header, exchange::kHeaderSize);
  bytes.reserve(bytes.size() + static_cast<std::size_t>(width) * height * exchange::kBytesPerPixel);
  for (int row = height - 1; row >= 0; --row) {
    const std::uint32_t* source = pixels.data() + static_cast<std::size_t>(row) * width;
    for (int column = 0; column < width; ++column) {
      const std::uint32_t rgb = source[column];
      bytes.push_back(static_cast<std::uint8_t>(rgb & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>((rgb >> 8) & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>((rgb >> 16) & 0xFF));
    }
  }
  return bytes;
}

std::uint8_t channelValue(unsigned long pixel, unsigned long mask) {
  if (mask == 0) {
    return 0;
  }
  int shift = 0;
  while (((mask >> shift) & 1UL) == 0) {
    ++shift;
  }
  const unsigned long maximum = mask >> shift;
  const unsigned long value = (pixel & mask) >> shift;
  return static_cast<std::uint8_t>((value * 255UL + maximum / 2) / maximum);
}

void FrameRate::frameDrawn(double nowSeconds) {
  if (windowStart_ < 0.0) {
    windowStart_ = nowSeconds;
    return;
  }
  ++frames_;
  const double elapsed = nowSeconds - windowStart_;
  if (elapsed < 1.0) {
    return;
  }
  char text[32];
  std::snprintf(text, sizeof text, "FPS: %.1f", frames_ / elapsed);
  text_ = text;
  windowStart_ = nowSeconds;
  frames_ = 0;
}

}  // namespace sorvanta::hack
