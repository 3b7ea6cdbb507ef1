#include "saver/preview/preview.h"

#include <algorithm>

namespace Sorvanta_B {

PreviewSize previewFormSize(long left, long top, long right, long bottom) {
  const long width = std::max(0L, right - left);
  const long height = std::max(0L, bottom - top);
  return PreviewSize{static_cast<int>(width), static_cast<int>(height)};
}

PreviewSize visiblePicturePart(PreviewSize control) {
  return PreviewSize{std::clamp(control.width, 0, kPreviewPictureWidth),
                     std::clamp(control.height, 0, kPreviewPictureHeight)};
}

}  // namespace Sorvanta_B
