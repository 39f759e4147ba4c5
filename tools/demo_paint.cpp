#include "demo_paint.h"

#include <algorithm>
#include <cmath>

namespace {

void Blend(std::uint8_t* p, const double rgb[3], double coverage) {
    for (int ch = 0; ch < 3; ++ch)
        p[ch] = static_cast<std::uint8_t>(std::lround(p[ch] * (1 - coverage) + rgb[ch] * coverage));
}

// The share of the pixel at (x, y) inside `shape`, from 4 x 4 samples.
template <typename Shape>
double Coverage(int x, int y, Shape shape) {
    int inside = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) inside += shape(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
    return inside / 16.0;
}

} // namespace

void PaintDemo(Image* image) {
    const double w = image->width, h = image->height;
    const double cx = w * 0.5, cy = h * 0.5, r = std::min(w, h) * 0.3;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            std::uint8_t* p = image->At(x, y);
            // The stripe: a band across the diagonal, darker towards its edges.
            const double across = ((x + 0.5) - (y + 0.5) * w / h) / w;
            const double stripe = Coverage(x, y, [&](double sx, double sy) {
                return std::fabs((sx - sy * w / h) / w) < 0.12;
            });
            const double shade = 1 - std::fabs(across) * 2.5;
            const double yellow[3] = {250 * shade, 200 * shade, 40 * shade};
            Blend(p, yellow, stripe);
            // The roundel: three rings, outside in.
            static const double kRings[3][4] = {{1.0, 20, 40, 140}, {0.66, 235, 235, 230}, {0.33, 200, 25, 30}};
            for (const double* ring : kRings) {
                const double radius = r * ring[0];
                const double c = Coverage(x, y, [&](double sx, double sy) {
                    return (sx - cx) * (sx - cx) + (sy - cy) * (sy - cy) < radius * radius;
                });
                Blend(p, ring + 1, c);
            }
        }
}

Image Gradient(int width, int height) {
    Image out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = out.At(x, y);
            p[0] = static_cast<std::uint8_t>(x * 255 / (width - 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / (height - 1));
            p[2] = static_cast<std::uint8_t>((x + y) * 255 / (width + height - 2));
            p[3] = 255;
        }
    return out;
}
