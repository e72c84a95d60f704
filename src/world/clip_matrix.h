#pragma once

// The matrix GL takes world points through to clip coordinates,
// projection · modelview, in double and laid out [row][column]; the inputs
// are column-major, as GL holds them.
inline void clipMatrix(const float (&modelview)[16], const float (&projection)[16], double (&clip)[4][4])
{
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            double s = 0.0;
            for (int k = 0; k < 4; ++k) {
                s += static_cast<double>(projection[4 * k + row]) * static_cast<double>(modelview[4 * column + k]);
            }
            clip[row][column] = s;
        }
    }
}
