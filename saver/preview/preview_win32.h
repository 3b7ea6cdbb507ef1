// The preview form Sorvanta_R: a still picture embedded as a child of the screen-saver
// host's preview window. Handles are opaque here so that no <windows.h> is needed.
#pragma once

#include <cstdint>

namespace Sorvanta_B {

// Caption and window class of the preview form.
inline constexpr char kPreviewCaption[] = "Preview Window";
inline constexpr wchar_t kPreviewClassName[] = L"Sorvanta_R";

// Embeds the preview form in the window parentHandle (an HWND as a 32-bit number);
// instance is the program's HINSTANCE, which holds the two preview pictures. The
// caller then runs its message loop: the loop ends (WM_QUIT) when the preview form is
// destroyed, which happens with the host's window, or at once when parentHandle names
// no window, so that no invisible preview lives on.
void embedPreview(void* instance, std::uint32_t parentHandle);

}  // namespace Sorvanta_B
