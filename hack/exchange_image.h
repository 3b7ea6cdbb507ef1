// The desktop picture on its way to the scene: the desktop's pixels as the exchange
// image that the scene's floor texture reads. Portable; the X11 side that takes the
// pixels is image_helper_x11.
#pragma once

#include <cstdint>
#include <vector>

namespace sorvanta::hack {

// Pixels as 0xRRGGBB, rows top first, become an exchange image: the file the
// renderer's TGA reader loads (24-bit blue-green-red, rows bottom first).
std::vector<std::uint8_t> encodeExchangeImage(const std::vector<std::uint32_t>& pixels, int width,
                                              int height);

// One channel of a true-colour pixel value, scaled to 0 ... 255 from whatever width
// its mask has (5, 6, 8 or 10 bits).
std::uint8_t channelValue(unsigned long pixel, unsigned long mask);

}  // namespace sorvanta::hack
