#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes an 8-bit RGB image (rows top first, 3 bytes a pixel) as a PNG.
std::vector<std::uint8_t> encodePng(int width, int height, const std::uint8_t* rgb);

// Writes bytes to a file; false with a reason in error on failure.
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);
