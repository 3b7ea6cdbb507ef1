#include "tools/button_skins/button_skins.h"

#include "picture_files.h"
#include "saver/controls/command_face.h"

namespace sorvanta::button_skins {

namespace {

constexpr Rgb Hex(std::uint32_t rgb) {
  return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
          static_cast<std::uint8_t>(rgb)};
}

// Dialog tone: the lighter shade on the top and left, the darker on the bottom and right.
constexpr Rgb kDialogLight = Hex(0xECE9D8);
constexpr Rgb kDialogDark = Hex(0xE9E7D5);
constexpr Rgb kBlueBorder = Hex(0x003C74);

struct Rim {
  Rgb top1, top2, side, bottom1, bottom2;
};

struct Look {
  Rgb border;
  Rgb face;
  int borderInset;  // 1, or 2 for the sunken look
  bool hasRim;
  Rim rim;
};

void Fill(Picture& p, Rgb colour) {
  for (auto& px : p.pixels)
    px = colour;
}

void FillRow(Picture& p, int y, int x0, int x1, Rgb c) {
  for (int x = x0; x <= x1; ++x)
    p.at(x, y) = c;
}

void FillColumn(Picture& p, int x, int y0, int y1, Rgb c) {
  for (int y = y0; y <= y1; ++y)
    p.at(x, y) = c;
}

void DrawFrame(Picture& p) {
  FillRow(p, 0, 0, kWidth - 1, kDialogLight);
  FillColumn(p, 0, 0, kHeight - 1, kDialogLight);
  FillRow(p, kHeight - 1, 1, kWidth - 1, kDialogDark);
  FillColumn(p, kWidth - 1, 1, kHeight - 1, kDialogDark);
}

// A rectangle ring at the given inset whose corner pixels are left to the dialog tone
// and whose diagonal neighbours carry the border, which rounds the corners.
void DrawRoundedBorder(Picture& p, int inset, Rgb border) {
  const int left = inset, top = inset, right = kWidth - 1 - inset, bottom = kHeight - 1 - inset;
  FillRow(p, top, left + 1, right - 1, border);
  FillRow(p, bottom, left + 1, right - 1, border);
  FillColumn(p, left, top + 1, bottom - 1, border);
  FillColumn(p, right, top + 1, bottom - 1, border);
  p.at(left + 1, top + 1) = border;
  p.at(right - 1, top + 1) = border;
  p.at(left + 1, bottom - 1) = border;
  p.at(right - 1, bottom - 1) = border;
}

void FillInside(Picture& p, int inset, Rgb colour) {
  for (int y = inset; y < kHeight - inset; ++y)
    FillRow(p, y, inset, kWidth - 1 - inset, colour);
}

// Two-pixel rim inside the border: two top rows, two columns each side, two bottom rows.
void DrawRim(Picture& p, const Rim& rim) {
  const int left = 2, right = kWidth - 3, top = 2, bottom = kHeight - 3;
  FillColumn(p, left, top + 1, bottom - 1, rim.side);
  FillColumn(p, left + 1, top + 1, bottom - 1, rim.side);
  FillColumn(p, right, top + 1, bottom - 1, rim.side);
  FillColumn(p, right - 1, top + 1, bottom - 1, rim.side);
  FillRow(p, top, left + 1, right - 1, rim.top1);
  FillRow(p, top + 1, left + 1, right - 1, rim.top2);
  FillRow(p, bottom - 1, left + 1, right - 1, rim.bottom1);
  FillRow(p, bottom, left + 1, right - 1, rim.bottom2);
}

void DrawLook(Picture& p, const Look& look) {
  Fill(p, kDialogLight);
  DrawFrame(p);
  FillInside(p, look.borderInset + 1, look.face);
  DrawRoundedBorder(p, look.borderInset, look.border);
  if (look.hasRim)
    DrawRim(p, look.rim);
}

const Rim kAmberRim{Hex(0xFFF0CF), Hex(0xFDD889), Hex(0xFCCA69), Hex(0xF8B330), Hex(0xE59700)};
const Rim kBlueRim{Hex(0xCEE7FF), Hex(0xCEE7FF), Hex(0xA9C5EF), Hex(0x6982EE), Hex(0x6982EE)};
constexpr Rgb kNearWhite = Hex(0xF3F3EE);

void DrawNormal(Picture& p) {
  DrawLook(p, {kBlueBorder, kNearWhite, 1, false, {}});
  FillRow(p, kHeight - 4, 3, kWidth - 4, Hex(0xE2DFD6));
  FillRow(p, kHeight - 3, 2, kWidth - 3, Hex(0xD6D0C5));
}

}  // namespace

const std::vector<std::string>& SkinNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all;
    for (int i = 0; i < sorvanta::controls::kSkinCount; ++i) {
      all.emplace_back(sorvanta::controls::SkinName(static_cast<sorvanta::controls::Skin>(i)));
    }
    return all;
  }();
  return names;
}

bool DrawSkin(const std::string& name, Picture& out) {
  if (name == "Normal") {
    DrawNormal(out);
  } else if (name == "HighLight" || name == "HighLightSelect") {
    DrawLook(out, {kBlueBorder, kNearWhite, 1, true, kAmberRim});
  } else if (name == "Selected") {
    DrawLook(out, {kBlueBorder, kNearWhite, 1, true, kBlueRim});
  } else if (name == "Pressed") {
    DrawLook(out, {kBlueBorder, Hex(0xE2E1D9), 2, false, {}});
  } else if (name == "Disable") {
    DrawLook(out, {Hex(0xC9C7BA), Hex(0xF5F4EA), 1, false, {}});
  } else {
    return false;
  }
  return true;
}

std::vector<std::uint8_t> EncodeBmp(const Picture& picture) {
  sorvanta::tools::Picture file(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb& px = picture.at(x, y);
      file.at(x, y) = sorvanta::tools::Rgb{px.r, px.g, px.b};
    }
  }
  return sorvanta::tools::bmpBytes(file, sorvanta::tools::kPixelsPerMetre96Dpi);
}

std::string SkinFileName(const std::string& name) {
  return "button_" + name + ".bmp";
}

}  // namespace sorvanta::button_skins
