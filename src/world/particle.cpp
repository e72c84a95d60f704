#include "world/particle.h"

#include "world/world.h"

void Particle::draw(const Matrix4& view)
{
    colour.r *= 0.95f;
    colour.g *= 0.95f;
    colour.b *= 0.95f;
    billboard.draw(position, size, size, view, colour.r, colour.g, colour.b);
}

void Particle::drawStill(const Matrix4& view) const
{
    billboard.draw(position, size, size, view, colour.r, colour.g, colour.b);
}

void Particle::move() { position.add(velocity); }

void emitParticle(World& world, const Particle& p)
{
    world.particles[world.particleHead] = p;
    world.particleCount += 1;
    world.particleHead += 1;
    if (world.particleHead == particleSlots) {
        world.particleHead = 0;
    }
    if (world.particleCount == particleSlots) {
        world.particleCount = particleSlots - 1;
    }
}
