#include "world/globe_shadow.h"

#include <algorithm>
#include <cmath>

#include "world/clip_matrix.h"

namespace {

// The globe is built with radius 10 and raised by up to 0.765 by its height
// map; its flat triangles (an icosahedron split four times) dip about 0.01
// below radius 10 between their corners. Half a unit inside that, anything
// counted hidden is thousands of 24-bit depth steps behind the globe's
// surface at the camera's distance (depth z / (1.3 z + 1)).
constexpr double globeHidingRadius = 9.5;
constexpr double globeOuterRadius = 10.77;
// The camera must be this far outside the globe for anything to be hidden.
constexpr double clearance = 1.0;

double det3(const double (&a)[3][3])
{
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
           a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

}  // namespace

GlobeShadow::GlobeShadow(const float (&modelview)[16], const float (&projection)[16], double innerRadius,
                         double outerRadius)
{
    // Clip coordinates of a world point: clip · (x, y, z, 1).
    double clip[4][4];
    clipMatrix(modelview, projection, clip);

    // The centre of projection is the point where x, y and w all vanish:
    // every pixel sees along a line through it (Cramer's rule).
    const int rows[3] = {0, 1, 3};
    double a[3][3];
    double b[3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            a[i][j] = clip[rows[i]][j];
        }
        b[i] = -clip[rows[i]][3];
    }
    const double det = det3(a);
    double size = 0.0;
    for (const auto& row : a) {
        for (const double v : row) {
            size = std::max(size, std::fabs(v));
        }
    }
    if (!(std::fabs(det) > 1e-9 * size * size * size)) {
        return;  // a parallel projection, or no projection at all
    }
    for (int k = 0; k < 3; ++k) {
        double m[3][3];
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                m[i][j] = j == k ? b[i] : a[i][j];
            }
        }
        eye_[k] = det3(m) / det;
    }

    // Along each line of sight w grows from 0 at the eye and the depth z / w
    // is (z at the eye) / w plus a constant: it grows with distance only when
    // z at the eye is negative. Otherwise nearer could mean deeper.
    const double eyeZ = clip[2][0] * eye_[0] + clip[2][1] * eye_[1] + clip[2][2] * eye_[2] + clip[2][3];
    if (!(eyeZ < 0.0)) {
        return;
    }

    // The whole globe between the near plane (w + z ≥ 0) and the far plane
    // (w − z ≥ 0), so that every pixel it covers holds its depth.
    for (const double sign : {1.0, -1.0}) {
        double n[4];
        for (int j = 0; j < 4; ++j) {
            n[j] = clip[3][j] + sign * clip[2][j];
        }
        const double normal = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (!(n[3] > outerRadius * normal * (1.0 + 1e-6))) {
            return;
        }
    }

    eyeDistance_ = std::sqrt(eye_[0] * eye_[0] + eye_[1] * eye_[1] + eye_[2] * eye_[2]);
    if (!(eyeDistance_ > outerRadius + clearance)) {
        return;  // the camera is at or inside the globe
    }
    coneAngle_ = std::asin(innerRadius / eyeDistance_);
    tangentLength_ = std::sqrt(eyeDistance_ * eyeDistance_ - innerRadius * innerRadius);
    active_ = true;
}

GlobeShadow GlobeShadow::ofDrawnGlobe(const float (&modelview)[16], const float (&projection)[16])
{
    return GlobeShadow(modelview, projection, globeHidingRadius, globeOuterRadius);
}

bool GlobeShadow::hides(const Vector4& position, float radius) const
{
    if (!active_) {
        return false;
    }
    const double v[3] = {position.x - eye_[0], position.y - eye_[1], position.z - eye_[2]};
    const double distance = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    const double r = radius;
    // Beyond the hiding ball's outline: no line of sight reaches it unhidden.
    if (!(distance - r > tangentLength_ + 1e-6 * distance)) {
        return false;  // also for a position that is not a number
    }
    // And within the cone the hiding ball fills, seen from the eye.
    const double towardCentre = -(v[0] * eye_[0] + v[1] * eye_[1] + v[2] * eye_[2]) / (distance * eyeDistance_);
    const double angle = std::acos(std::clamp(towardCentre, -1.0, 1.0));
    return angle + std::asin(r / distance) < coneAngle_ - 1e-6;
}
