#pragma once

#include "math/vector4.h"

// Draws value in seven-segment digits with lines in the current colour and
// line width, right-aligned to end 1.5 × e left of position.x. Values below 1
// draw nothing.
void drawNumber(int value, const Vector4& position, float e);

// (n − 1) × 1.5 × e for a value of n digits; −1.5 × e below 1.
float numberWidth(int value, float e);
