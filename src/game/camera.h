#pragma once

#include "math/matrix4.h"
#include "math/vector4.h"
#include "physics/ship.h"
#include "world/view.h"

// The chase camera: row0 of cameraMatrix is the screen's right axis, row1 its
// up axis, row2 the viewing direction, all in world space. It eases toward
// its target from frame to frame; window creation puts it back at its start
// (resetCamera).
struct Camera {
    Matrix4 cameraMatrix;
    Vector4 cameraPosition;
};

// Puts the camera back at its start: identity orientation, origin position
// (w is kept). Window creation does this.
void resetCamera(Camera& camera);

// Eases the camera toward a point six units above the ship, looking down at
// the globe with the ship's nose up the screen; clears the screen; loads
// view, projection and light. Leaves GL_MODELVIEW. Returns what it loaded,
// for the world pass to draw with.
View cameraPass(Camera& camera, const Ship& ship);

// The two halves of the camera pass: the easing, which changes the camera,
// and the GL work (clear, view, projection, light), which does not. A paused
// frame loads the view without easing.
void easeCamera(Camera& camera, const Ship& ship);
View loadView(const Camera& camera);
