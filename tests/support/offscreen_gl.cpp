#include "offscreen_gl.h"

#include <GL/osmesa.h>

OffscreenGl::OffscreenGl(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 4)
{
    OSMesaContext ctx = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (ctx == nullptr) {
        return;
    }
    if (!OSMesaMakeCurrent(ctx, pixels_.data(), GL_UNSIGNED_BYTE, width, height)) {
        OSMesaDestroyContext(ctx);
        return;
    }
    context_ = ctx;
}

OffscreenGl::~OffscreenGl()
{
    if (context_ != nullptr) {
        OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
    }
}

const std::vector<unsigned char>& OffscreenGl::pixels() const
{
    glFinish();  // OSMesa draws straight into the buffer
    return pixels_;
}
