// One ball of the scene: where it is, its colour and how it moves.
#pragma once

#include "vector3f.h"

namespace sorvanta {

struct Ball {
  Vector3f position;  // centre, scene units
  Vector3f colour;    // red, green, blue, each 0.5 to 1.0
  Vector3f velocity;  // units per second
};

}  // namespace sorvanta
