#include "physics/box_body.h"

namespace {

// Corner k of a box with half extents (a, b, c) is at signs[k] · (a, b, c).
constexpr float cornerSigns[8][3] = {
    {-1, -1, -1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1},
    {1, 1, -1},   {-1, 1, 1},  {1, -1, 1},  {1, 1, 1},
};

// The three corners each face plane is built from, in argument order; with
// positive half extents the normals point out of the box.
constexpr int facePoints[6][3] = {
    {1, 0, 2}, {1, 3, 0}, {2, 5, 4}, {0, 3, 2}, {7, 5, 3}, {1, 4, 7},
};

constexpr int edgeCorners[12][2] = {
    {0, 1}, {0, 2}, {0, 3}, {1, 4}, {1, 6}, {2, 4},
    {2, 5}, {3, 5}, {3, 6}, {4, 7}, {5, 7}, {6, 7},
};

constexpr float velocityDamping = 0.8999f;
constexpr float angularDamping = 0.88979f;
constexpr float forceDeadZone = 2.5000003e-7f;  // 0.0005 squared

void writeCorners(BoxPoint* points, float a, float b, float c)
{
    for (int k = 0; k < 8; ++k) {
        points[k].localPosition.x = cornerSigns[k][0] * a;
        points[k].localPosition.y = cornerSigns[k][1] * b;
        points[k].localPosition.z = cornerSigns[k][2] * c;
    }
}

template <typename CornerOf>
void buildFaces(Plane* planes, CornerOf corner)
{
    for (int f = 0; f < 6; ++f) {
        planes[f].setFromPoints(corner(facePoints[f][0]), corner(facePoints[f][1]),
                                corner(facePoints[f][2]));
    }
}

template <typename CornerOf>
void buildEdges(BoxEdge* edges, CornerOf corner)
{
    for (int e = 0; e < 12; ++e) {
        edges[e].start = corner(edgeCorners[e][0]);
        edges[e].end = corner(edgeCorners[e][1]);
    }
}

}  // namespace

BoxBody::BoxBody()
{
    setHalfExtents(0.3f, 0.3f, 0.3f);
    inertiaFactor = 50.0f;
}

void BoxBody::setHalfExtents(float a, float b, float c)
{
    auto local = [this](int k) { return points[k].localPosition; };

    writeCorners(points, a, b, c);
    buildFaces(facePlanes, local);
    points[8].localPosition = Vector4{};
    inertiaFactor = 100.0f;

    const float r = points[0].radius;
    const float ia = a - r;
    const float ib = b - r;
    const float ic = c - r;
    writeCorners(points, ia, ib, ic);

    float smallest = ia;
    if (ib < smallest) {
        smallest = ib;
    }
    if (ic < smallest) {
        smallest = ic;
    }
    points[8].radius = smallest;

    buildEdges(edges, local);
}

void BoxBody::applyForce(Vector4 f, Vector4 lever)
{
    force.add(f);
    torque.add(f.cross(lever));
}

void BoxBody::addTorque(Vector4 t) { torque.add(t); }

void BoxBody::step()
{
    velocity.scale(velocityDamping);
    angularVelocity.scale(angularDamping);

    if (force.lengthSquared() < forceDeadZone) {
        force = Vector4{};
    }

    Vector4 dv = force;
    dv.scale(1.0f / mass);
    velocity.add(dv);
    force = Vector4{};

    Vector4 dw = torque;
    dw.scale(1.0f / (inertiaFactor * mass));
    angularVelocity.add(dw);
    torque = Vector4{};

    Vector4 dp = velocity;
    dp.scale(1.0f);
    position.add(dp);

    Matrix4 rx;
    rx.setRotationX(angularVelocity.x);
    Matrix4 ry;
    ry.setRotationY(-angularVelocity.y);
    Matrix4 rz;
    rz.setRotationZ(angularVelocity.z);
    Matrix4 d;
    d.multiply(rz);
    d.multiply(ry);
    d.multiply(rx);
    orientation.multiply(d);

    updateHull();
}

void BoxBody::updateHull()
{
    for (BoxPoint& p : points) {
        const Vector4 old = p.worldPosition;
        Vector4 now = orientation.transformTransposed(p.localPosition);
        now.add(position);
        p.worldPosition = now;
        p.displacement = now;
        p.displacement.subtract(old);
    }

    auto world = [this](int k) { return points[k].worldPosition; };
    buildFaces(facePlanes, world);
    buildEdges(edges, world);
}
