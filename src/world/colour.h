#pragma once

// A colour of four floats; drawing uses r, g, b and a fixed alpha, a is unused.
struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};
