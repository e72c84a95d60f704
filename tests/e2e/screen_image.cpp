#include "screen_image.h"

#include <cmath>
#include <fstream>
#include <iterator>

NdcBox textBox(const std::string& text, double anchorX, double anchorY, double h, double v, bool emptySlot)
{
    const double pitch = 1.1 * h;
    const double n = static_cast<double>(text.size());
    const double slot = emptySlot ? 1.0 : 0.0;
    const double last = anchorX - (1.0 + slot) * pitch;
    const double first = anchorX - (n + slot) * pitch;
    return NdcBox{first - h, last + h, anchorY - v, anchorY + v};
}

NdcBox numberBox(int value, double x, double y, double e)
{
    int digits = 0;
    for (long long place = 1; value >= place; place *= 10) {
        ++digits;
    }
    return NdcBox{x - digits * 1.5 * e - e / 2, x - 1.5 * e + e / 2, y - e, y + e};
}

ScreenImage::ScreenImage(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    png_ = decodePng(bytes);
    if (!in && bytes.empty()) {
        png_.error = "cannot read " + path;
    }
}

bool ScreenImage::blue(int column, int row) const
{
    const std::uint8_t* p = at(column, row);
    return p[2] > 12 && p[0] * 3 <= p[2] && p[1] * 3 <= p[2];
}

bool ScreenImage::black(int column, int row) const
{
    const std::uint8_t* p = at(column, row);
    return p[0] + p[1] + p[2] <= 12;
}

bool ScreenImage::inside(const NdcBox& box, int margin, int column, int row) const
{
    // Pixel centres in device coordinates; the viewport's lower edge lies
    // (height - width) / 2 below the picture's when it is wide.
    const double w = width();
    const double bottom = (height() - w) / 2.0;
    const double x = (column + 0.5) / w * 2.0 - 1.0;
    const double y = ((height() - 1 - row) + 0.5 - bottom) / w * 2.0 - 1.0;
    const double m = margin * 2.0 / w;
    return x >= box.x0 - m && x <= box.x1 + m && y >= box.y0 - m && y <= box.y1 + m;
}

int ScreenImage::countBlue(const NdcBox& box, int margin) const
{
    int n = 0;
    for (int row = 0; row < height(); ++row) {
        for (int column = 0; column < width(); ++column) {
            n += inside(box, margin, column, row) && blue(column, row) ? 1 : 0;
        }
    }
    return n;
}

int ScreenImage::countNonBlack(const NdcBox& box, int margin) const
{
    int n = 0;
    for (int row = 0; row < height(); ++row) {
        for (int column = 0; column < width(); ++column) {
            n += inside(box, margin, column, row) && !black(column, row) ? 1 : 0;
        }
    }
    return n;
}

int ScreenImage::strayPixels(const std::vector<NdcBox>& boxes, int margin) const
{
    int n = 0;
    for (int row = 0; row < height(); ++row) {
        for (int column = 0; column < width(); ++column) {
            bool covered = false;
            for (const NdcBox& b : boxes) {
                covered = covered || inside(b, margin, column, row);
            }
            n += !covered && !black(column, row) ? 1 : 0;
        }
    }
    return n;
}

int ScreenImage::countScenery(const NdcBox& box) const
{
    int n = 0;
    for (int row = 0; row < height(); ++row) {
        for (int column = 0; column < width(); ++column) {
            n += inside(box, 0, column, row) && !black(column, row) && !blue(column, row) ? 1 : 0;
        }
    }
    return n;
}
