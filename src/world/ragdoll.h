#pragma once

#include <cstddef>

#include "math/vector4.h"

// Reads the figure file (dataFiles::ragdollFigure) into the template, fills digitSegments and
// builds the crowd table. Run by every rendering set-up.
void buildRagdollCrowd();

// The figure file: fifteen joints of four little-endian floats (x, y, z, w).
constexpr int ragdollJointCount = 15;
constexpr std::size_t ragdollFileSize = ragdollJointCount * 16;
constexpr int ragdollFigureCount = 1000;
constexpr int ragdollNodeCount = ragdollFigureCount * ragdollJointCount;
constexpr int ragdollRootJoint = 8;  // where each figure stands; its record is not used

struct RagdollLink {
    int target = 0;            // index into the whole crowd table
    float restLength = 0.0f;
};

struct RagdollNode {
    Vector4 position;
    Vector4 motion;
    int linkCount = 0;
    RagdollLink links[10];
    unsigned char isHead = 0;
    float mark = 0.0f;
};

extern Vector4 ragdollTemplate[ragdollJointCount];
extern RagdollNode ragdollCrowd[ragdollNodeCount];

// Copies the first min(size, 240) bytes into the template; the rest of the
// template keeps what it held.
void readRagdollTemplate(const unsigned char* data, std::size_t size);

// Reads up to 240 bytes of the named file into the template. Returns false,
// leaving the template alone, when the file cannot be opened.
bool loadRagdollTemplate(const char* fileName);

// Lays out the 1000 figures from the current template.
void buildCrowd();
