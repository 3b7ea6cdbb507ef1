// The preview form's size in its host.
#include <gtest/gtest.h>

#include "saver/preview/preview.h"

namespace Sorvanta_B {
namespace {

struct FormCase {
  long left, top, right, bottom;
  int width, height;
};

const FormCase kFormCases[] = {
    {0, 0, 152, 112, 152, 112}, {100, 50, 400, 290, 300, 240}, {-20, -10, 60, 30, 80, 40},
    {0, 0, 0, 0, 0, 0},         {500, 500, 400, 600, 0, 100},  {10, 10, 11, 11, 1, 1},
};

TEST(PreviewLayout, FormTakesTheParentsOuterSize) {
  for (const FormCase& c : kFormCases) {
    const PreviewSize size = previewFormSize(c.left, c.top, c.right, c.bottom);
    EXPECT_EQ(size.width, c.width) << c.left << "," << c.top << "," << c.right << "," << c.bottom;
    EXPECT_EQ(size.height, c.height) << c.left << "," << c.top << "," << c.right << "," << c.bottom;
  }
}

TEST(PreviewLayout, PictureIsNeverStretched) {
  const PreviewSize big = visiblePicturePart(PreviewSize{640, 480});
  EXPECT_EQ(big.width, kPreviewPictureWidth);
  EXPECT_EQ(big.height, kPreviewPictureHeight);
  const PreviewSize small = visiblePicturePart(PreviewSize{100, 50});
  EXPECT_EQ(small.width, 100);
  EXPECT_EQ(small.height, 50);
  const PreviewSize none = visiblePicturePart(PreviewSize{0, 0});
  EXPECT_EQ(none.width, 0);
  EXPECT_EQ(none.height, 0);
}

}  // namespace
}  // namespace Sorvanta_B
