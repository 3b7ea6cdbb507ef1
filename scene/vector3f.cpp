#include "vector3f.h"

#include <cmath>

namespace sorvanta {

float Vector3f::length() const {
  const float sumOfSquares = x * x + y * y + z * z;
  return std::sqrt(sumOfSquares);
}

void Vector3f::normalise() {
  const float currentLength = length();
  if (currentLength == 0.0f) {
    return;
  }
  const float reciprocal = 1.0f / currentLength;
  x *= reciprocal;
  y *= reciprocal;
  z *= reciprocal;
}

}  // namespace sorvanta
