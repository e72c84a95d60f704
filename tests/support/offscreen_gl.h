#pragma once

#include <GL/gl.h>

#include <vector>

// An offscreen RGBA context with a 24-bit depth buffer, current for the
// lifetime of the object: OSMesa on Linux (offscreen_gl.cpp), a WGL context
// of a hidden window on Windows (tests/windows/offscreen_gl_win32.cpp).
class OffscreenGl {
public:
    OffscreenGl(int width = 64, int height = 64);
    ~OffscreenGl();
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

    bool ok() const { return context_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    // RGBA bytes, bottom row first, as OpenGL stores them, once the drawing
    // so far has finished.
    const std::vector<unsigned char>& pixels() const;

private:
    void* context_ = nullptr;
    void* surface_ = nullptr;  // the window drawn into, where there is one
    int width_;
    int height_;
    mutable std::vector<unsigned char> pixels_;
};

// Records what the GL calls between begin() and end() emit, with
// GL_FEEDBACK / GL_3D_COLOR_TEXTURE, so tests can count and inspect vertices.
class FeedbackRecorder {
public:
    explicit FeedbackRecorder(std::size_t capacity = 1 << 20);
    void begin();
    // Returns the number of floats written (negative on overflow).
    int end();
    const std::vector<GLfloat>& buffer() const { return buffer_; }
    // Counts the polygon tokens in the recorded feedback.
    int polygonCount() const;
    int lineCount() const;

private:
    std::vector<GLfloat> buffer_;
    int size_ = 0;
};
