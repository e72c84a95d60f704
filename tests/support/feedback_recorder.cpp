#include "offscreen_gl.h"

FeedbackRecorder::FeedbackRecorder(std::size_t capacity) : buffer_(capacity) {}

void FeedbackRecorder::begin()
{
    glFeedbackBuffer(static_cast<GLsizei>(buffer_.size()), GL_3D_COLOR_TEXTURE, buffer_.data());
    glRenderMode(GL_FEEDBACK);
}

int FeedbackRecorder::end()
{
    size_ = glRenderMode(GL_RENDER);
    return size_;
}

namespace {

// Floats per vertex for GL_3D_COLOR_TEXTURE in RGBA mode: xyz, rgba, strq.
constexpr int vertexFloats = 3 + 4 + 4;

template <typename Visit>
void walk(const std::vector<GLfloat>& b, int size, Visit visit)
{
    int i = 0;
    while (i < size) {
        const int token = static_cast<int>(b[i++]);
        switch (token) {
            case GL_POLYGON_TOKEN: {
                const int n = static_cast<int>(b[i++]);
                visit(token);
                i += n * vertexFloats;
                break;
            }
            case GL_LINE_TOKEN:
            case GL_LINE_RESET_TOKEN:
                visit(token);
                i += 2 * vertexFloats;
                break;
            case GL_POINT_TOKEN:
            case GL_BITMAP_TOKEN:
            case GL_DRAW_PIXEL_TOKEN:
            case GL_COPY_PIXEL_TOKEN:
                visit(token);
                i += vertexFloats;
                break;
            case GL_PASS_THROUGH_TOKEN:
                i += 1;
                break;
            default:
                return;
        }
    }
}

}  // namespace

int FeedbackRecorder::polygonCount() const
{
    int n = 0;
    walk(buffer_, size_, [&](int t) { n += t == GL_POLYGON_TOKEN; });
    return n;
}

int FeedbackRecorder::lineCount() const
{
    int n = 0;
    walk(buffer_, size_, [&](int t) { n += t == GL_LINE_TOKEN || t == GL_LINE_RESET_TOKEN; });
    return n;
}
