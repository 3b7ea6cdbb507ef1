#include "saver/controls/length_units.h"

#include <cmath>

namespace sorvanta::controls {

int pixelsFromTwips(double twips, int dotsPerInch) {
  // The default rounding mode rounds halves to even.
  return static_cast<int>(std::nearbyint(twips * dotsPerInch / kTwipsPerInch));
}

int twipsFromPixels(int pixels, int dotsPerInch) {
  if (dotsPerInch <= 0)
    return 0;
  return static_cast<int>(
      std::nearbyint(static_cast<double>(pixels) * kTwipsPerInch / dotsPerInch));
}

int pixelsFromPoints(double points, int dotsPerInch) {
  return static_cast<int>(std::lround(points * dotsPerInch / kPointsPerInch));
}

}  // namespace sorvanta::controls
