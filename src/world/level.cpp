#include "world/level.h"

#include "math/game_random.h"
#include "math/matrix4.h"
#include "physics/shell.h"


namespace {

Matrix4 rotationY(float a)
{
    Matrix4 m;
    m.setRotationY(a);
    return m;
}

Matrix4 rotationX(float a)
{
    Matrix4 m;
    m.setRotationX(a);
    return m;
}

Vector4 scaled(Vector4 v, float s)
{
    v.scale(s);
    return v;
}

// Position (and for most patterns velocity) of pickup i in the given pattern.
void place(int pattern, int i, Pickup& p)
{
    const Vector4 base{0.0f, 0.0f, shellRadius, 0.0f};
    // Angles are i times a single-precision step, rounded to single precision.
    const float a = static_cast<float>(i) * 0.1f;
    const float a3 = static_cast<float>(i) * 0.03f;
    const float b = static_cast<float>(i) * 0.01f;

    switch (pattern) {
        case 0:
            p.position = rotationY(a).transformTransposed(base);
            break;
        case 1: {
            const Vector4 q = rotationY(a).transformTransposed(base);
            p.position = rotationX(a).transformTransposed(q);
            break;
        }
        case 2:
            p.position = rotationY(a).transformTransposed(base);
            p.velocity = scaled({0.0f, -1.0f, 0.0f, 0.0f}, 0.1f);
            break;
        case 3: {
            const Vector4 q = rotationY(a).transformTransposed(base);
            p.position = rotationX(b).transformTransposed(q);
            p.velocity = {0.0f, 0.0f, 0.1f, 0.0f};
            break;
        }
        case 4: {
            Matrix4 m = rotationX(b);
            m.multiply(rotationY(a));
            p.position = m.transformTransposed(base);
            break;
        }
        case 5:
            if (i < 1000) {
                const Matrix4 m = rotationY(a);
                p.position = m.transformTransposed(base);
                p.velocity = scaled(m.row0(), 0.1f);
            } else {
                const Matrix4 m = rotationX(a);
                p.position = m.transformTransposed(base);
                p.velocity = scaled(m.row1(), 0.1f);
            }
            break;
        case 6:
            p.position = rotationY(a3).transformTransposed(base);
            p.velocity = scaled({0.0f, 5.0f, p.position.x, 0.0f}, 0.01f);
            break;
        case 7:
            p.position = rotationX(a3).transformTransposed(base);
            p.velocity = scaled({2.0f, 5.0f, 0.0f, 0.0f}, 0.01f);
            break;
        case 8:
            if (i < 500) {
                p.position = rotationY(a).transformTransposed(base);
                p.velocity = scaled({0.0f, 1.0f, 1.0f, 0.0f}, 0.05f);
            } else if (i < 1000) {
                p.position = rotationX(a).transformTransposed(base);
                p.velocity = scaled({1.0f, 0.0f, 1.0f, 0.0f}, 0.05f);
            } else if (i < 1500) {
                p.position = rotationY(a).transformTransposed(base);
                p.velocity = scaled({0.0f, -1.0f, 1.0f, 0.0f}, 0.05f);
            } else {
                p.position = rotationX(a).transformTransposed(base);
                p.velocity = scaled({-1.0f, 0.0f, 1.0f, 0.0f}, 0.05f);
            }
            break;
        default:
            break;
    }
    // Positions keep w = 0 whatever the rotation's translation row gave.
    p.position.w = 0.0f;
}

}  // namespace

void setupLevel(int pattern, Session& session, World& world)
{
    // The ship keeps its velocities; only its pose is reset.
    world.ship.body.position = Vector4{0.0f, 20.0f, 0.0f, 0.0f};
    world.ship.body.orientation = Matrix4{};
    session.levelTime = 0.0f;

    if (pattern >= 0 && pattern < levelCount) {
        for (int i = 0; i < pickupCount; ++i) {
            Pickup& p = world.pickups[i];
            place(pattern, i, p);
            p.colour.g = randomUnit();
            p.colour.r = randomUnit();
            p.colour.b = randomUnit();
        }
    }

    session.levelNumber += 1;
    session.collectedCount = 0;
}
