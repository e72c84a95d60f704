#include "math/plane.h"

void Plane::setFromPoints(const Vector4& p0, const Vector4& p1, const Vector4& p2)
{
    Vector4 d1 = p0;
    d1.subtract(p1);
    Vector4 d2 = p0;
    d2.subtract(p2);
    normal = d1.cross(d2);
    normal.normalize();
    distance = normal.x * p0.x + normal.y * p0.y + normal.z * p0.z;
}
