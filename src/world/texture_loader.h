#pragma once

#include "world/bitmap_reader.h"

// Set while the earth image loads: its texel brightness R + G + B fills the
// globe's height map.
extern int captureHeightMap;

// Reads a 24-bit BMP file from the current directory and uploads it with
// glTexImage2D (level `level`) to the bound texture, or records the calls in
// the display list being compiled. Pure magenta becomes transparent. A file
// that cannot be read is skipped with one line on stderr.
void loadTexture(const char* fileName, int level);

// The upload part of loadTexture: pixel store, glTexImage2D (internal format
// 4, GL_RGBA, GL_UNSIGNED_BYTE), repeat wrapping, linear filters without
// mipmaps and GL_MODULATE.
void uploadTexture(const RgbaImage& image, int level);
