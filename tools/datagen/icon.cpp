// glimmerfall-icon: writes the game's desktop icon, a glowing globe inside a
// tilted ring, as an RGBA PNG of SIZE × SIZE pixels (16 to 1024), or as the
// Windows program's icon file with the sizes 16 to 256 in one .ico.
//   glimmerfall-icon SIZE <file.png>
//   glimmerfall-icon --ico <file.ico>
// A pure function of this code and the size: the same bytes on every run.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// ---- a minimal PNG encoder: stored (uncompressed) deflate blocks ----------

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

void putBig32(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

void putChunk(Bytes& out, const char type[5], const Bytes& body)
{
    putBig32(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    putBig32(out, crc32(out.data() + start, out.size() - start));
}

// Rows of RGBA pixels, top row first.
Bytes encodePng(int width, int height, const Bytes& rgba)
{
    Bytes raw;  // each row behind filter byte 0
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const auto row = rgba.begin() + static_cast<std::ptrdiff_t>(y) * width * 4;
        raw.insert(raw.end(), row, row + width * 4);
    }

    Bytes z = {0x78, 0x01};  // zlib header: deflate, 32 KiB window, no dictionary
    std::size_t pos = 0;
    do {
        const std::size_t n = std::min<std::size_t>(raw.size() - pos, 65535);
        const bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);  // a stored block
        z.push_back(static_cast<std::uint8_t>(n));
        z.push_back(static_cast<std::uint8_t>(n >> 8));
        z.push_back(static_cast<std::uint8_t>(~n));
        z.push_back(static_cast<std::uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                 raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBig32(z, (b << 16) | a);

    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    putBig32(header, static_cast<std::uint32_t>(width));
    putBig32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", z);
    putChunk(png, "IEND", {});
    return png;
}

// ---- the picture ------------------------------------------------------------

struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

// Paints c over dst (premultiplied by its own alpha).
void over(Colour& dst, const Colour& c)
{
    const float keep = 1.0f - c.a;
    dst.r = c.r * c.a + dst.r * keep;
    dst.g = c.g * c.a + dst.g * keep;
    dst.b = c.b * c.a + dst.b * keep;
    dst.a = c.a + dst.a * keep;
}

// The ring at one point: 1 on its centre line, fading over its width;
// front tells whether that part of the ring passes in front of the globe.
float ringCover(float x, float y, bool& front)
{
    // A circle of radius 0.82 tilted so that it looks like a flat ellipse,
    // leaning 20 degrees.
    const float lean = 0.349f;
    const float u = x * std::cos(lean) + y * std::sin(lean);
    const float v = -x * std::sin(lean) + y * std::cos(lean);
    const float squash = 0.3f;
    const float r = std::sqrt(u * u + (v / squash) * (v / squash));
    front = v < 0.0f;  // seen from a little above: the lower half is nearer
    const float d = std::fabs(r - 0.82f) / 0.07f;
    return std::clamp(1.0f - d, 0.0f, 1.0f);
}

// The icon's pixels, RGBA with straight alpha, top row first.
Bytes iconPixels(int iconSize)
{
    Bytes rgba(static_cast<std::size_t>(iconSize) * iconSize * 4);
    constexpr int samples = 4;  // 4 × 4 samples a pixel smooth the edges
    for (int py = 0; py < iconSize; ++py) {
        for (int px = 0; px < iconSize; ++px) {
            Colour sum;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    // -1..1 across the icon, y up.
                    const float x = ((px + (sx + 0.5f) / samples) / iconSize) * 2.0f - 1.0f;
                    const float y = 1.0f - ((py + (sy + 0.5f) / samples) / iconSize) * 2.0f;
                    const float radius = 0.55f;
                    const float d = std::sqrt(x * x + y * y);

                    Colour c;
                    // The glow: a soft blue halo fading out from the globe.
                    const float glow = std::clamp((1.0f - (d - radius) / 0.4f), 0.0f, 1.0f);
                    over(c, Colour{0.35f, 0.6f, 1.0f, 0.55f * glow * glow});

                    bool front = false;
                    const float ring = ringCover(x, y, front);
                    const Colour ringColour{1.0f, 0.85f, 0.45f, ring};
                    if (!front) {
                        over(c, ringColour);  // behind the globe
                    }
                    if (d < radius) {
                        // The globe, lit from the upper left: deep blue seas
                        // with green bands, brightening to a glowing rim.
                        const float nz = std::sqrt(std::max(0.0f, 1.0f - (d / radius) * (d / radius)));
                        const float nx = x / radius;
                        const float ny = y / radius;
                        const float light = std::max(0.0f, -0.5f * nx + 0.6f * ny + 0.62f * nz);
                        const float land = std::sin(nx * 7.0f + std::sin(ny * 5.0f) * 1.5f) *
                                           std::cos(ny * 6.0f - nx * 2.0f);
                        Colour surface = land > 0.25f ? Colour{0.2f, 0.75f, 0.35f, 1.0f}
                                                      : Colour{0.1f, 0.3f, 0.9f, 1.0f};
                        const float shade = 0.25f + 0.85f * light;
                        const float rim = std::pow(1.0f - nz, 3.0f);
                        surface.r = std::min(1.0f, surface.r * shade + 0.5f * rim);
                        surface.g = std::min(1.0f, surface.g * shade + 0.7f * rim);
                        surface.b = std::min(1.0f, surface.b * shade + 1.0f * rim);
                        const float edge = std::clamp((radius - d) * iconSize, 0.0f, 1.0f);
                        surface.a = edge;
                        over(c, surface);
                    }
                    if (front) {
                        over(c, ringColour);
                    }
                    sum.r += c.r;
                    sum.g += c.g;
                    sum.b += c.b;
                    sum.a += c.a;
                }
            }
            constexpr float n = samples * samples;
            // Back from premultiplied to straight alpha for the file.
            const float a = sum.a / n;
            auto channel = [a](float premultiplied) {
                const float v = a > 0.0f ? premultiplied / (n * a) : 0.0f;
                return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
            };
            std::uint8_t* p = &rgba[(static_cast<std::size_t>(py) * iconSize + px) * 4];
            p[0] = channel(sum.r);
            p[1] = channel(sum.g);
            p[2] = channel(sum.b);
            p[3] = static_cast<std::uint8_t>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255.0f));
        }
    }
    return rgba;
}

void putLittle(Bytes& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

// One image of an .ico: a 32-bit bottom-up bitmap with its transparency
// mask, as every version of Windows reads it; 256 px as PNG, as Windows
// keeps its large icons.
Bytes icoImage(int iconSize)
{
    const Bytes rgba = iconPixels(iconSize);
    if (iconSize >= 256) {
        return encodePng(iconSize, iconSize, rgba);
    }
    const int maskRowBytes = (iconSize + 31) / 32 * 4;
    Bytes out;
    putLittle(out, 40, 4);                   // header size
    putLittle(out, static_cast<std::uint32_t>(iconSize), 4);
    putLittle(out, static_cast<std::uint32_t>(iconSize * 2), 4);  // colours and mask
    putLittle(out, 1, 2);                    // planes
    putLittle(out, 32, 2);                   // bits per pixel
    putLittle(out, 0, 4);                    // uncompressed
    putLittle(out, static_cast<std::uint32_t>(iconSize * iconSize * 4 + maskRowBytes * iconSize), 4);
    putLittle(out, 0, 16);                   // resolution, palette
    for (int y = iconSize - 1; y >= 0; --y) {
        for (int x = 0; x < iconSize; ++x) {
            const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * iconSize + x) * 4];
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    for (int y = iconSize - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(maskRowBytes), 0);
        for (int x = 0; x < iconSize; ++x) {
            if (rgba[(static_cast<std::size_t>(y) * iconSize + x) * 4 + 3] == 0) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes encodeIco()
{
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    constexpr std::uint32_t count = std::size(sizes);
    Bytes directory;
    Bytes images;
    putLittle(directory, 0, 2);  // reserved
    putLittle(directory, 1, 2);  // an icon
    putLittle(directory, count, 2);
    std::uint32_t offset = 6 + 16 * count;
    for (const int size : sizes) {
        const Bytes image = icoImage(size);
        directory.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));  // 0 means 256
        directory.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));
        putLittle(directory, 0, 2);   // no palette, reserved
        putLittle(directory, 1, 2);   // planes
        putLittle(directory, 32, 2);  // bits per pixel
        putLittle(directory, static_cast<std::uint32_t>(image.size()), 4);
        putLittle(directory, offset, 4);
        offset += static_cast<std::uint32_t>(image.size());
        images.insert(images.end(), image.begin(), image.end());
    }
    directory.insert(directory.end(), images.begin(), images.end());
    return directory;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool ico = argc == 3 && std::string(argv[1]) == "--ico";
    const int size = argc == 3 && !ico ? std::atoi(argv[1]) : 0;
    if (!ico && (size < 16 || size > 1024)) {
        std::fprintf(stderr,
                     "usage: glimmerfall-icon SIZE <file.png>, SIZE from 16 to 1024\n"
                     "       glimmerfall-icon --ico <file.ico>\n");
        return 2;
    }
    const Bytes bytes = ico ? encodeIco() : encodePng(size, size, iconPixels(size));
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "glimmerfall-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
