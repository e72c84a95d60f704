#include "world/particle.h"

int particleHead = 0;
int particleCount = 0;

void Particle::draw(const Matrix4& view)
{
    colour.r *= 0.95f;
    colour.g *= 0.95f;
    colour.b *= 0.95f;
    billboard.draw(position, size, size, view, colour.r, colour.g, colour.b);
}

void Particle::move() { position.add(velocity); }

void emitParticle(const Particle& p)
{
    particles[particleHead] = p;
    particleCount += 1;
    particleHead += 1;
    if (particleHead == particleSlots) {
        particleHead = 0;
    }
    if (particleCount == particleSlots) {
        particleCount = particleSlots - 1;
    }
}
