#pragma once

#include <cstdint>
#include <vector>

#include "bmp_writer.h"

// One generator per file the game reads, each in the module the data-file
// list names as its maker (src/data_files.list). Every one is a pure function
// of its fixed seed: the same bytes on every run.

Image makeEarth();  // dataFiles::earthImage
Image makeMoon();   // dataFiles::moonImage
Image makeGlow();   // dataFiles::particleImage
Image makeFont();   // dataFiles::fontImage
Image makeShip();   // dataFiles::shipImage

std::vector<std::int16_t> makePickupSound();  // dataFiles::pickupSound, mono
std::vector<std::int16_t> makeThrustSound();  // dataFiles::thrustSound, mono
std::vector<std::int16_t>
makeMusic();  // dataFiles::musicSound, interleaved stereo; empty if the score is malformed

std::vector<std::uint8_t> makeFigure();  // dataFiles::ragdollFigure
