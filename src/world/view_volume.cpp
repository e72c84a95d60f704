#include "world/view_volume.h"

#include <algorithm>
#include <cmath>

#include "world/clip_matrix.h"

namespace {

double maxRowSum(const float (&m)[16])
{
    double best = 0.0;
    for (int row = 0; row < 4; ++row) {
        double s = 0.0;
        for (int column = 0; column < 4; ++column) {
            s += std::fabs(static_cast<double>(m[4 * column + row]));
        }
        best = std::max(best, s);
    }
    return best;
}

}  // namespace

ViewVolume::ViewVolume(const float (&modelview)[16], const float (&projection)[16])
{
    // Clip coordinates of a world point: clip · (x, y, z, 1).
    double clip[4][4];
    clipMatrix(modelview, projection, clip);
    // w + x, w − x, w + y, w − y, w + z, w − z: each ≥ 0 inside.
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            double* plane = planes_[2 * axis + side];
            const double sign = side == 0 ? 1.0 : -1.0;
            for (int column = 0; column < 4; ++column) {
                plane[column] = clip[3][column] + sign * clip[axis][column];
            }
            normals_[2 * axis + side] =
                std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        }
    }
    // GL transforms by the modelview and then the projection, in float; each
    // clip coordinate is then off by a few float epsilons (6e-8) of
    // |projection| · |modelview| · |point|. The margin below is a thousand
    // times that.
    scale_ = maxRowSum(projection) * maxRowSum(modelview);
}

bool ViewVolume::mayShow(const Vector4& position, float radius) const
{
    const double x = position.x;
    const double y = position.y;
    const double z = position.z;
    const double r = radius;
    const double extent = std::max({std::fabs(x), std::fabs(y), std::fabs(z), 1.0}) + r;
    const double margin = 1e-4 * scale_ * extent;
    for (int k = 0; k < 6; ++k) {
        const double* p = planes_[k];
        // The value of the plane at the ball's point farthest inside.
        const double farthest = p[0] * x + p[1] * y + p[2] * z + p[3] + r * normals_[k];
        if (farthest < -margin) {
            return false;
        }
    }
    return true;  // also for a position that is not a number
}
