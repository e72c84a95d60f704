// The tests' offscreen context on Windows: a WGL context of a hidden window,
// drawn into its back buffer and read back with glReadPixels.
#include <windows.h>

#include "offscreen_gl.h"

namespace {

constexpr const wchar_t* surfaceClass = L"GlimmerfallTestSurface";

}  // namespace

OffscreenGl::OffscreenGl(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 4)
{
    WNDCLASSW c{};
    c.style = CS_OWNDC;
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = surfaceClass;
    RegisterClassW(&c);  // fails harmlessly when a context before registered it
    HWND window = CreateWindowExW(0, surfaceClass, L"", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                  c.hInstance, nullptr);
    if (window == nullptr) {
        return;
    }
    surface_ = window;
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cAlphaBits = 8;
    format.cDepthBits = 24;
    if (!SetPixelFormat(dc, ChoosePixelFormat(dc, &format), &format)) {
        return;
    }
    HGLRC context = wglCreateContext(dc);
    if (context == nullptr) {
        return;
    }
    if (!wglMakeCurrent(dc, context)) {
        wglDeleteContext(context);
        return;
    }
    context_ = context;
}

OffscreenGl::~OffscreenGl()
{
    if (context_ != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(static_cast<HGLRC>(context_));
    }
    if (surface_ != nullptr) {
        DestroyWindow(static_cast<HWND>(surface_));
    }
}

const std::vector<unsigned char>& OffscreenGl::pixels() const
{
    glFinish();
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
    return pixels_;
}
