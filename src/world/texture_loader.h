#pragma once

#include "world/bitmap_reader.h"

// Reads a 24-bit BMP file from the current directory and uploads it with
// glTexImage2D (level `level`) to the bound texture, or records the calls in
// the display list being compiled. Pure magenta becomes transparent. A file
// that cannot be read is skipped with one line on stderr. When heightMap is
// given (the earth image fills the globe's), each texel's brightness
// R + G + B is written into it (512 × 512 floats).
void loadTexture(const char* fileName, int level, float* heightMap = nullptr);

// The upload part of loadTexture: pixel store, glTexImage2D (internal format
// 4, GL_RGBA, GL_UNSIGNED_BYTE), repeat wrapping, linear filters without
// mipmaps and GL_MODULATE.
void uploadTexture(const RgbaImage& image, int level);
