#pragma once

#include "physics/box_body.h"

// The player's ship: a box body with two control inputs. The ship's nose lies
// toward its local −z, so row2 of the orientation points from nose to tail.
struct Ship {
    float thrustInput = 0.0f;  // −1024 forward (toward the nose), +1024 reverse, or 0
    float turnInput = 0.0f;    // the steering axis value
    BoxBody body;

    Ship();

    // One flight step: thrust, the steering couple, the spring toward the
    // shell of radius 15, radial damping, the body step, and a torque that
    // rights the ship over the globe in the next step.
    void step();
};

// The game's one ship is part of the world in play (world/world.h).
