#pragma once

#include "math/vector4.h"

// The part of the world the globe hides from the camera once it has been
// drawn into the depth buffer: everything behind a ball about the origin as
// seen from the centre of projection. The ball is smaller than the globe by a
// margin, so that anything counted hidden lies well behind the globe's
// surface along every line of sight, and the globe must lie wholly between
// the near and far planes, so that no part of it is clipped away.
class GlobeShadow {
public:
    GlobeShadow() = default;  // hides nothing
    // Column-major matrices, as GL holds them (see View). innerRadius is the
    // ball that hides; the globe reaches out to outerRadius at most.
    GlobeShadow(const float (&modelview)[16], const float (&projection)[16], double innerRadius,
                double outerRadius);
    // The globe the world pass draws, under these matrices.
    static GlobeShadow ofDrawnGlobe(const float (&modelview)[16], const float (&projection)[16]);

    // True when every point of the ball of the given radius about position
    // lies behind the hiding ball along its line of sight.
    bool hides(const Vector4& position, float radius) const;

    bool active() const { return active_; }

private:
    bool active_ = false;
    double eye_[3] = {};          // the centre of projection, in world space
    double eyeDistance_ = 0.0;    // from the globe's centre
    double coneAngle_ = 0.0;      // half the angle the hiding ball fills
    double tangentLength_ = 0.0;  // eye to the hiding ball's outline
};
