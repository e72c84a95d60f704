#pragma once

#include "math/vector4.h"
#include "world/colour.h"

// A sphere pushed outward by a 512 × 512 height map, tessellated from a
// 12-vertex near-icosahedron by four-way subdivision and drawn as lit,
// textured triangles with longitude/latitude texture coordinates. Used only
// while compiling display lists.
struct GlobeMesh {
    static constexpr int mapSize = 512;
    static constexpr int vertexCount = 12;
    static constexpr int faceCount = 20;

    // Element (i, j) at i × 512 + j: i from the longitude coordinate u, j from
    // the latitude coordinate v. Deliberately without an initialiser: the
    // global instances live in zero-filled storage and must not have these
    // pages written at start-up. Value-initialise other instances
    // (GlobeMesh{} or new GlobeMesh()) to get a zero map.
    float heightMap[mapSize * mapSize];
    Vector4 baseVertices[vertexCount];
    float radius = 0.0f;
    Vector4 center;
    int faces[faceCount][3] = {};

    // Stores radius and centre and lays out the base vertices and faces.
    void build(float r, Vector4 c);

    // Moves p onto the height-mapped surface along its direction from the
    // centre (w unchanged) and returns its texture coordinates u (longitude,
    // 1 at +z falling toward 0 as the azimuth grows) and v (0 at the bottom
    // pole, 1 at the top).
    void placeOnSurface(Vector4& p, float& u, float& v) const;

    // Emits one triangle strip of three corners, placing each on the surface
    // (the corners are changed in place).
    void drawTriangle(Vector4 (&corners)[3], const Colour& colour) const;

    // Splits K, L, M into four along sphere midpoints and draws them, recursing
    // while depth > 1: depth 0 and 1 give 4 triangles, depth d gives 4^d.
    void drawSubdivided(const Vector4& k, const Vector4& l, const Vector4& m, int depth,
                        const Colour& colour) const;

    // All 20 faces at the given depth. The base vertices are not changed.
    void draw(const Colour& colour, int depth) const;
};

// Keeps the texture coordinate u of a corner on the same side of the
// 0/1 seam as the previous corner's (already fixed) coordinate.
float fixSeam(float previousU, float u);

// A small globe with its own mesh, built at radius 0.1 around the origin
// when constructed. Its display list is compiled by the first world draw and
// never called.
struct MiniGlobe {
    Vector4 randomValues;  // three random unit values, stored and never read
    Vector4 reserved;
    GlobeMesh mesh;
    int displayList = 0;

    MiniGlobe();
};

constexpr int miniGlobeCount = 100;
extern MiniGlobe miniGlobes[miniGlobeCount];
extern GlobeMesh globe;  // the earth, then the moon, drawn into lists 3 and 4
