// The window captions by which the programs find each other's windows: a start of the
// front end looks for its run form and its settings dialog, the run form looks for the
// renderer's window. Each is defined here once, in the ANSI form the A functions take
// and the UTF-16 form the W functions take.
#pragma once

#include <cstddef>

namespace exchange {

inline constexpr char kRendererWindowCaption[] = "Sorvanta_VC";
inline constexpr char kRunFormCaption[] = "Sorvanta_Main";
inline constexpr char kSettingsDialogCaption[] = "<Sorvanta>";

// An ASCII name as UTF-16, made at compile time.
template <std::size_t N>
struct WideName {
  wchar_t text[N];
};

template <std::size_t N>
constexpr WideName<N> wideName(const char (&ascii)[N]) {
  WideName<N> wide{};
  for (std::size_t i = 0; i < N; ++i) {
    wide.text[i] = static_cast<wchar_t>(ascii[i]);
  }
  return wide;
}

inline constexpr WideName kRunFormCaptionW = wideName(kRunFormCaption);
inline constexpr WideName kSettingsDialogCaptionW = wideName(kSettingsDialogCaption);

}  // namespace exchange
