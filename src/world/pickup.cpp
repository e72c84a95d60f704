#include "world/pickup.h"

#include "physics/shell.h"

namespace {
constexpr float springStiffness = 0.1f;
constexpr float radialDamping = 0.1f;
}  // namespace

void Pickup::step()
{
    position.add(velocity);

    const float d = position.length();
    Vector4 n = position;
    n.normalize();

    // Spring toward the shell.
    Vector4 s = n;
    s.scale((shellRadius - d) * springStiffness);
    velocity.add(s);

    // Take a tenth of the radial part out of the (already sprung) velocity.
    // On the shell or at the origin s is zero, so neither step has an effect.
    Vector4 u = s;
    u.normalize();
    Vector4 damping = u;
    damping.scale(velocity.dot(u) * radialDamping);
    velocity.subtract(damping);
}

void Pickup::draw(const Matrix4& view) const
{
    billboard.draw(position, 0.41f, 0.41f, view, colour.r, colour.g, colour.b);
}
