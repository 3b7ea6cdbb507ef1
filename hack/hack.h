// The scene as an XScreenSaver hack: its command line, its frame-rate counter and the
// floor picture handed to the scene's texture path. Portable; the X11 and GLX side is
// in the *_x11.cpp files beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// Reads the command line (argv[0] is the program). Options take one dash or two
// (XScreenSaver 6 starts "sorvanta -root" as "sorvanta --root"). False with a reason
// in `error` for an unknown option, a missing value or a value out of range.
bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error);

// An X window ID as XScreenSaver writes it: hexadecimal with 0x, or decimal.
bool parseWindowId(const char* text, unsigned long& id);

extern const char kUsage[];

// Pixels as 0xRRGGBB, rows top first, become an exchange image: the file the
// renderer's TGA reader loads (24-bit blue-green-red, rows bottom first).
std::vector<std::uint8_t> encodeExchangeImage(const std::vector<std::uint32_t>& pixels, int width,
                                              int height);

// One channel of a true-colour pixel value, scaled to 0 ... 255 from whatever width
// its mask has (5, 6, 8 or 10 bits).
std::uint8_t channelValue(unsigned long pixel, unsigned long mask);

// Frames counted over about a second at a time, for the -fps corner.
class FrameRate {
 public:
  // Called after every frame with a steady clock in seconds.
  void frameDrawn(double nowSeconds);
  // "FPS: 29.9" once the first second has been counted, empty before.
  const std::string& text() const { return text_; }

 private:
  double windowStart_ = -1.0;
  int frames_ = 0;
  std::string text_;
};

}  // namespace sorvanta::hack
