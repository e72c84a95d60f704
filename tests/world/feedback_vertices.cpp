#include "feedback_vertices.h"

void useWorldProjection(int half)
{
    glViewport(0, 0, 2 * half, 2 * half);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-half, half, -half, half, -half, half);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

View currentView(const Matrix4& orientation)
{
    View view{orientation, {}, {}};
    glGetFloatv(GL_MODELVIEW_MATRIX, view.modelview.m);
    glGetFloatv(GL_PROJECTION_MATRIX, view.projection.m);
    return view;
}

std::vector<FeedbackPolygon> feedbackPolygons(const FeedbackRecorder& recorder, int floats,
                                              int half)
{
    const std::vector<GLfloat>& b = recorder.buffer();
    std::vector<FeedbackPolygon> polygons;
    const float h = static_cast<float>(half);
    int i = 0;
    while (i < floats) {
        const int token = static_cast<int>(b[i++]);
        if (token == GL_PASS_THROUGH_TOKEN) {
            ++i;
            continue;
        }
        if (token != GL_POLYGON_TOKEN) {
            break;  // only polygons are drawn by the world
        }
        const int n = static_cast<int>(b[i++]);
        FeedbackPolygon polygon;
        for (int k = 0; k < n; ++k, i += 11) {
            // Window z runs 0..1 for world z from +half to -half.
            polygon.push_back({b[i] - h, b[i + 1] - h, (1.0f - 2.0f * b[i + 2]) * h, b[i + 3],
                               b[i + 4], b[i + 5], b[i + 6], b[i + 7], b[i + 8]});
        }
        polygons.push_back(polygon);
    }
    return polygons;
}
