// The scene's 3-vector of floats: positions, colours, velocities and normals.
#pragma once

namespace sorvanta {

struct Vector3f {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  Vector3f() = default;
  Vector3f(float xValue, float yValue, float zValue) : x(xValue), y(yValue), z(zValue) {}

  void set(float xValue, float yValue, float zValue) {
    x = xValue;
    y = yValue;
    z = zValue;
  }

  // A new vector with every component multiplied by s.
  Vector3f scaled(float s) const { return Vector3f(s * x, s * y, s * z); }

  // Euclidean length, computed in float.
  float length() const;

  // Scales the vector to unit length in place. A zero vector has no direction and is
  // left as it is (dividing by its length would fill it with NaNs).
  void normalise();
};

}  // namespace sorvanta
