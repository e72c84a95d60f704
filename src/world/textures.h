#pragma once

// The six OpenGL texture names, generated again by every rendering set-up.
extern unsigned int textures[6];

inline unsigned int& earthTexture = textures[0];     // "earth3.bmp"
inline unsigned int& moonTexture = textures[1];      // "moon.bmp"
inline unsigned int& particleTexture = textures[2];  // "particlecheaper4.bmp"; left bound after text
inline unsigned int& fontTexture = textures[3];      // "MyFont.bmp"
inline unsigned int& shipTexture = textures[4];      // "ship.bmp"
inline unsigned int& spareShipTexture = textures[5]; // a second copy of "ship.bmp", bound by nothing
