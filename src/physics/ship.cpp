#include "physics/ship.h"

#include "physics/shell.h"

namespace {

constexpr float thrustGain = 1.5e-6f;
constexpr float turnGain = 9e-6f;
constexpr float springStiffness = 0.001f;
constexpr float radialDamping = 0.1f;
constexpr float rightingGain = 0.009f;

}  // namespace

Ship::Ship() { body.position = Vector4{0.0f, 50.0f, 0.0f, 0.0f}; }

void Ship::step()
{
    const Vector4 zero{};

    Vector4 thrust = body.orientation.row2();
    thrust.scale(thrustInput * thrustGain);
    body.applyForce(thrust, zero);

    // Two opposite forces at opposite ends of the x axis: a pure couple about
    // the ship's up axis.
    Vector4 s = body.orientation.row2();
    s.scale(turnInput * turnGain);
    const Vector4 r = body.orientation.row0();
    Vector4 minusS = zero;
    minusS.subtract(s);
    Vector4 minusR = zero;
    minusR.subtract(r);
    body.applyForce(minusS, r);
    body.applyForce(s, minusR);

    Vector4 p = body.position;
    const float k = (shellRadius - p.length()) * springStiffness;
    p.normalize();
    p.scale(k);
    body.applyForce(p, zero);

    p.normalize();
    const float radial = body.velocity.dot(p) * radialDamping;
    p.scale(radial);
    body.velocity.subtract(p);

    body.step();

    Vector4 up = body.orientation.row1();
    up.scale(rightingGain);
    body.addTorque(body.position.cross(up));
}
