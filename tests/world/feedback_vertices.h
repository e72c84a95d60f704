#pragma once

#include <vector>

#include "offscreen_gl.h"
#include "world/view.h"

// One vertex of GL_3D_COLOR_TEXTURE feedback, turned back into world
// coordinates by the projection that useWorldProjection sets up.
struct FeedbackVertex {
    float x, y, z;
    float r, g, b, a;
    float s, t;
};

using FeedbackPolygon = std::vector<FeedbackVertex>;

// Viewport and orthographic projection in which window coordinates are world
// coordinates shifted by half the extent, covering [-half, half] on all three
// axes; modelview identity. Culling, lighting and depth testing are left off.
void useWorldProjection(int half);

// The view GL holds now, facing sprites through orientation.
View currentView(const Matrix4& orientation = Matrix4{});

// The polygons of a recorded buffer, in world coordinates.
std::vector<FeedbackPolygon> feedbackPolygons(const FeedbackRecorder& recorder, int floats,
                                              int half);
