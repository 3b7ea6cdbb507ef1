// Where the preview form and its picture go inside the host's preview window.
#pragma once

namespace Sorvanta_B {

inline constexpr int kPreviewPictureWidth = 152;
inline constexpr int kPreviewPictureHeight = 112;

struct PreviewSize {
  int width = 0;
  int height = 0;
};

// The form's size from the parent's outer rectangle: right minus left and bottom minus
// top, none below zero (a rectangle that could not be read is all zeros).
PreviewSize previewFormSize(long left, long top, long right, long bottom);

// The part of the picture that shows in a control of the given size: the picture is
// drawn at its own size from the control's top-left corner, never stretched.
PreviewSize visiblePicturePart(PreviewSize control);

}  // namespace Sorvanta_B
