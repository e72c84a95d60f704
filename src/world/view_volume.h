#pragma once

#include "math/vector4.h"

// The space inside which a vertex can reach the screen under a modelview and
// a projection: the six clip planes −w ≤ x, y, z ≤ w, as world-space planes.
// The game's projection is w = 1.3 z + 1 with z kept as it is, so besides the
// four side planes there is a near plane at eye z = −1/2.3 and no far plane
// within reach; every part of it is taken from the matrices, whatever they are.
class ViewVolume {
public:
    ViewVolume() = default;  // shows everything
    // Column-major matrices, as GL holds them (see View).
    ViewVolume(const float (&modelview)[16], const float (&projection)[16]);

    // False only when the ball of the given radius about position lies wholly
    // outside one clip plane, by a margin far above the rounding of the
    // vertex transform: then nothing inside the ball can give a fragment.
    bool mayShow(const Vector4& position, float radius) const;

private:
    double planes_[6][4] = {};
    double normals_[6] = {};  // length of each plane's (a, b, c)
    double scale_ = 0.0;      // bound on |clip| per unit of |position|
};
