#pragma once

// The six OpenGL texture names the rendering set-up makes, again on every
// run of it, by index: the earth, the moon, the glow that sky, pickups and
// sparks are drawn with (left bound after every text pass), the font, the
// ship, and a second copy of the ship that nothing binds.
enum TextureIndex : int {
    earthTexture = 0,
    moonTexture,
    particleTexture,
    fontTexture,
    shipTexture,
    spareShipTexture,
    textureCount,
};

struct Textures {
    unsigned int names[textureCount] = {};

    unsigned int operator[](TextureIndex i) const { return names[i]; }
};
