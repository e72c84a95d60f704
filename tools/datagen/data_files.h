#pragma once

#include <cstdint>
#include <vector>

#include "bmp_writer.h"

// One generator per file the game reads. Every one is a pure function of
// its fixed seed: the same bytes on every run.

Image makeEarth();  // "earth3.bmp"
Image makeMoon();   // "moon.bmp"
Image makeGlow();   // "particlecheaper4.bmp"
Image makeFont();   // "MyFont.bmp"
Image makeShip();   // "ship.bmp"

std::vector<std::int16_t> makePickupSound();  // "pickup.wav", mono
std::vector<std::int16_t> makeThrustSound();  // "thrust.wav", mono
std::vector<std::int16_t>
makeMusic();  // "MUSIC.wav", interleaved stereo; empty if the score is malformed

std::vector<std::uint8_t> makeFigure();  // "ragdoll.rag"
