// The letter atlas: a-z drawn with a round pen along centre lines, six
// letters to a row of 32 x 32 cells starting at the top-left of the
// picture, light strokes on pure magenta. Glyphs are laid 1.1 half-widths
// apart on screen, so each letter keeps its ink within the middle of its
// cell. No anti-aliasing: a blended edge would turn pink, not transparent.

#include <algorithm>
#include <array>
#include <cmath>

#include "file_makers.h"

namespace {

constexpr int atlasSize = 256;
constexpr int cellSize = 32;
constexpr int cellsPerRow = 6;
constexpr float pen = 2.0f;
constexpr float thinPen = 1.8f;  // for the wide letters m and w

struct Point {
    float x, y;  // cell pixels, y up from the bottom of the cell
};

struct Stroke {
    std::vector<Point> points;
    float radius = pen;
};

using Glyph = std::vector<Stroke>;

Stroke polyline(std::initializer_list<Point> points, float radius = pen)
{
    return {points, radius};
}

Stroke line(float x0, float y0, float x1, float y1, float radius = pen)
{
    return polyline({{x0, y0}, {x1, y1}}, radius);
}

Stroke dot(float x, float y)
{
    Stroke s;
    s.points = {{x, y}, {x, y}};
    s.radius = pen + 0.3f;
    return s;
}

// Elliptic arc from angle a0 to a1 in degrees, counter-clockwise when
// a1 > a0 and clockwise otherwise.
Stroke arc(float cx, float cy, float rx, float ry, float a0, float a1, float radius = pen)
{
    Stroke s;
    s.radius = radius;
    const int steps = std::max(2, static_cast<int>(std::fabs(a1 - a0) / 8.0f));
    for (int i = 0; i <= steps; ++i) {
        const float a =
            (a0 + (a1 - a0) * static_cast<float>(i) / static_cast<float>(steps)) * 0.017453293f;
        s.points.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return s;
}

// Centre lines. Baseline at y 10, x-height 22, ascenders 28.5, descenders
// 3.5; bowls 9 wide around x 16.
std::array<Glyph, 26> letters()
{
    return {{
        /* a */ {arc(15.5f, 16, 4.5f, 6, 0, 360), line(20, 22, 20, 10)},
        /* b */ {line(11.5f, 28.5f, 11.5f, 10), arc(16, 16, 4.5f, 6, 0, 360)},
        /* c */ {arc(16.5f, 16, 4.5f, 6, 45, 315)},
        /* d */ {arc(16, 16, 4.5f, 6, 0, 360), line(20.5f, 28.5f, 20.5f, 10)},
        /* e */ {line(11.5f, 16, 20.5f, 16), arc(16, 16, 4.5f, 6, 0, 315)},
        /* f */
        {line(14.5f, 10, 14.5f, 24.5f), arc(18, 24.5f, 3.5f, 4, 180, 30), line(11, 22, 19.5f, 22)},
        /* g */
        {arc(15.5f, 17, 4.5f, 5, 0, 360), line(20, 22, 20, 8), arc(16, 8, 4, 4.5f, 0, -150)},
        /* h */
        {line(11.5f, 28.5f, 11.5f, 10), arc(16, 16, 4.5f, 6, 180, 0), line(20.5f, 16, 20.5f, 10)},
        /* i */ {line(16, 22, 16, 10), dot(16, 27)},
        /* j */ {line(17.5f, 22, 17.5f, 7), arc(14, 7, 3.5f, 3.5f, 0, -170), dot(17.5f, 27)},
        /* k */
        {line(11.5f, 28.5f, 11.5f, 10), line(20.5f, 22, 12.5f, 15.5f), line(15.5f, 18, 21, 10)},
        /* l */ {line(15, 28.5f, 15, 14), arc(18.5f, 14, 3.5f, 4, 180, 270)},
        /* m */
        {line(10, 22, 10, 10, thinPen), arc(13, 17, 3, 5, 180, 0, thinPen),
         line(16, 17, 16, 10, thinPen), arc(19, 17, 3, 5, 180, 0, thinPen),
         line(22, 17, 22, 10, thinPen)},
        /* n */
        {line(11.5f, 22, 11.5f, 10), arc(16, 16, 4.5f, 6, 180, 0), line(20.5f, 16, 20.5f, 10)},
        /* o */ {arc(16, 16, 4.75f, 6, 0, 360)},
        /* p */ {line(11.5f, 22, 11.5f, 3.5f), arc(16, 16, 4.5f, 6, 0, 360)},
        /* q */ {line(20.5f, 22, 20.5f, 3.5f), arc(16, 16, 4.5f, 6, 0, 360)},
        /* r */ {line(12, 22, 12, 10), arc(16.5f, 16, 4.5f, 6, 180, 55)},
        /* s */ {arc(16, 19, 4.5f, 3, 30, 270), arc(16, 13, 4.5f, 3, 90, -150)},
        /* t */ {line(15, 27, 15, 13), arc(18.5f, 13, 3.5f, 3, 180, 270), line(11, 22, 20, 22)},
        /* u */
        {line(11.5f, 22, 11.5f, 16), arc(16, 16, 4.5f, 6, 180, 360), line(20.5f, 22, 20.5f, 10)},
        /* v */ {polyline({{11, 22}, {16, 10}, {21, 22}})},
        /* w */ {polyline({{9, 22}, {12, 10}, {16, 18}, {20, 10}, {23, 22}}, thinPen)},
        /* x */ {line(11, 22, 21, 10), line(21, 22, 11, 10)},
        /* y */ {line(11, 22, 16, 10.5f), line(21, 22, 13, 3.5f)},
        /* z */ {polyline({{11, 22}, {21, 22}, {11, 10}, {21, 10}})},
    }};
}

float distanceToSegment(Point p, Point a, Point b)
{
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float lengthSquared = dx * dx + dy * dy;
    float t = 0.0f;
    if (lengthSquared > 0.0f) {
        t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared, 0.0f, 1.0f);
    }
    const float ex = p.x - (a.x + t * dx);
    const float ey = p.y - (a.y + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

bool inked(const Glyph& glyph, Point p)
{
    for (const Stroke& stroke : glyph) {
        for (std::size_t i = 1; i < stroke.points.size(); ++i) {
            if (distanceToSegment(p, stroke.points[i - 1], stroke.points[i]) <= stroke.radius) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

Image makeFont()
{
    Image image(atlasSize, atlasSize, magenta);
    const std::array<Glyph, 26> glyphs = letters();
    for (int letter = 0; letter < 26; ++letter) {
        const int column = letter % cellsPerRow;
        const int rowFromTop = letter / cellsPerRow;
        const int left = column * cellSize;
        // File rows run bottom-up, so the top row of cells is stored last.
        const int bottom = atlasSize - (rowFromTop + 1) * cellSize;
        for (int y = 0; y < cellSize; ++y) {
            for (int x = 0; x < cellSize; ++x) {
                const Point centre{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f};
                if (inked(glyphs[letter], centre)) {
                    // White at the top shading to a pale ice blue at the foot;
                    // the blue channel stays full for the game's blue text.
                    const float shade = static_cast<float>(y) / cellSize;
                    image.at(left + x, bottom + y) =
                        toRgb(200.0f + 55.0f * shade, 222.0f + 33.0f * shade, 255.0f);
                }
            }
        }
    }
    return image;
}
