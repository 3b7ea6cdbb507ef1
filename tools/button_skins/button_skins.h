// The six 64 x 25 skins of the front end's push button, drawn from a few colours:
// a one-pixel frame in the dialog tone, a border with rounded corners inside it and,
// per skin, an inner rim and a face colour.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sorvanta::button_skins {

constexpr int kWidth = 64;
constexpr int kHeight = 25;

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Top-down pixels of one skin.
struct Picture {
  std::vector<Rgb> pixels = std::vector<Rgb>(kWidth * kHeight);
  Rgb& at(int x, int y) { return pixels[y * kWidth + x]; }
  const Rgb& at(int x, int y) const { return pixels[y * kWidth + x]; }
};

// The button's skin names, in the order of its Skin values: "Normal", "HighLight",
// "HighLightSelect", "Selected", "Pressed", "Disable".
const std::vector<std::string>& SkinNames();

// Draws a named skin; false (picture untouched) for an unknown name.
bool DrawSkin(const std::string& name, Picture& out);

// A 24-bit bottom-up BMP file of the picture.
std::vector<std::uint8_t> EncodeBmp(const Picture& picture);

// The file name the skin is kept under in the assets folder.
std::string SkinFileName(const std::string& name);

}  // namespace sorvanta::button_skins
