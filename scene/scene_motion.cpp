// The balls' motion: placed, coloured and launched from the fixed random sequence,
// then moved and bounced off the box's walls a step at a time.
#include <cmath>

#include "scene_app.h"

namespace sorvanta {

namespace {

// A colour component from one draw: 0.5 to 1.0.
float colourComponent(SceneRandom& random) {
  const float draw = static_cast<float>(random.next());
  return draw / SceneRandom::kMax / 2.0f + 0.5f;
}

// The difference of two draws (a first, then b) over the largest draw: -1 to +1.
float signedUnit(SceneRandom& random) {
  const int a = random.next();
  const int b = random.next();
  return static_cast<float>(a - b) / SceneRandom::kMax;
}

// Moves one coordinate by one step and turns it back from a wall it would cross; the
// step taken with the turned velocity undoes the move on that axis.
void moveAndBounce(float& position, float& velocity, float seconds) {
  position += seconds * velocity;
  if (std::fabs(position) + kBallRadius > kBoxHalfSize) {
    velocity = -velocity;
    position += seconds * velocity;
  }
}

}  // namespace

bool SceneApp::createBalls() {
  SceneRandom random;
  const float startRange = kBoxHalfSize - kBallRadius;
  for (Ball& ball : balls) {
    const float red = colourComponent(random);
    const float green = colourComponent(random);
    const float blue = colourComponent(random);
    ball.colour.set(red, green, blue);

    const float x = signedUnit(random) * startRange;
    const float y = signedUnit(random) * startRange;
    const float z = signedUnit(random) * startRange;
    ball.position.set(x, y, z);

    const float vx = signedUnit(random);
    const float vy = signedUnit(random);
    const float vz = signedUnit(random);
    ball.velocity.set(vx, vy, vz);
    ball.velocity.normalise();
    ball.velocity = ball.velocity.scaled(kBallSpeed);
  }
  return buildSphere(kBallRadius, kSphereSegments);
}

void SceneApp::update(float seconds) {
  for (Ball& ball : balls) {
    moveAndBounce(ball.position.x, ball.velocity.x, seconds);
    moveAndBounce(ball.position.y, ball.velocity.y, seconds);
    moveAndBounce(ball.position.z, ball.velocity.z, seconds);
  }
}

}  // namespace sorvanta
