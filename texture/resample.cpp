#include "resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLobes = 3;

double Sinc(double x) { return x == 0 ? 1 : std::sin(kPi * x) / (kPi * x); }
double Lanczos(double x) { return std::fabs(x) < kLobes ? Sinc(x) * Sinc(x / kLobes) : 0; }

// Premultiplied colour in floating point: the resampler's working form.
std::vector<double> Premultiply(const Image& image) {
    std::vector<double> out(image.rgba.size());
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        const double a = image.rgba[i + 3];
        for (int ch = 0; ch < 3; ++ch) out[i + ch] = image.rgba[i + ch] * a;
        out[i + 3] = a;
    }
    return out;
}

std::uint8_t Clamp(double v) { return static_cast<std::uint8_t>(v <= 0 ? 0 : v >= 255 ? 255 : std::lround(v)); }

Image Unpremultiply(const std::vector<double>& p, int w, int h) {
    Image out(w, h);
    for (std::size_t i = 0; i < p.size(); i += 4) {
        const double a = p[i + 3];
        for (int ch = 0; ch < 3; ++ch) out.rgba[i + ch] = a > 0 ? Clamp(p[i + ch] / a) : 0;
        out.rgba[i + 3] = Clamp(a);
    }
    return out;
}

// One pass along one axis: `count` lines of `from` samples each become
// lines of `to` samples. `stride` steps between samples of a line, `lineStep`
// between lines (in pixels).
void ResampleAxis(const std::vector<double>& in, std::vector<double>& out, int from, int to, int count,
                  std::size_t inStride, std::size_t inLine, std::size_t outStride, std::size_t outLine) {
    const double scale = static_cast<double>(from) / to;
    const double support = kLobes * std::max(1.0, scale);
    const double widen = std::max(1.0, scale);
    for (int o = 0; o < to; ++o) {
        const double centre = (o + 0.5) * scale - 0.5;
        const int first = static_cast<int>(std::floor(centre - support)) + 1;
        const int last = static_cast<int>(std::ceil(centre + support)) - 1;
        std::vector<double> weights;
        double total = 0;
        for (int s = first; s <= last; ++s) {
            const double wgt = Lanczos((s - centre) / widen);
            weights.push_back(wgt);
            total += wgt;
        }
        for (int line = 0; line < count; ++line) {
            double acc[4] = {0, 0, 0, 0};
            for (int s = first; s <= last; ++s) {
                const int at = std::min(from - 1, std::max(0, s));  // edges repeat
                const double wgt = weights[static_cast<std::size_t>(s - first)] / total;
                const double* px = &in[(line * inLine + at * inStride) * 4];
                for (int ch = 0; ch < 4; ++ch) acc[ch] += wgt * px[ch];
            }
            double* px = &out[(line * outLine + o * outStride) * 4];
            for (int ch = 0; ch < 4; ++ch) px[ch] = std::max(0.0, acc[ch]);
            px[3] = std::min(255.0, px[3]);
            for (int ch = 0; ch < 3; ++ch) px[ch] = std::min(px[3] * 255.0, px[ch]);
        }
    }
}

} // namespace

Image Resample(const Image& image, int width, int height) {
    const std::vector<double> p = Premultiply(image);
    std::vector<double> across(static_cast<std::size_t>(width) * image.height * 4);
    ResampleAxis(p, across, image.width, width, image.height, 1, static_cast<std::size_t>(image.width), 1,
                 static_cast<std::size_t>(width));
    std::vector<double> down(static_cast<std::size_t>(width) * height * 4);
    ResampleAxis(across, down, image.height, height, width, static_cast<std::size_t>(width), 1,
                 static_cast<std::size_t>(width), 1);
    return Unpremultiply(down, width, height);
}

Image Halve(const Image& image) {
    const int w = std::max(1, image.width / 2), h = std::max(1, image.height / 2);
    const int fx = image.width > 1 ? 2 : 1, fy = image.height > 1 ? 2 : 1;
    Image out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned sum[4] = {0, 0, 0, 0};
            for (int dy = 0; dy < fy; ++dy)
                for (int dx = 0; dx < fx; ++dx) {
                    const std::uint8_t* p = image.At(x * fx + dx, y * fy + dy);
                    for (int ch = 0; ch < 3; ++ch) sum[ch] += p[ch] * p[3];
                    sum[3] += p[3];
                }
            std::uint8_t* q = out.At(x, y);
            const unsigned n = static_cast<unsigned>(fx * fy);
            for (int ch = 0; ch < 3; ++ch) q[ch] = static_cast<std::uint8_t>(sum[3] ? (sum[ch] + sum[3] / 2) / sum[3] : 0);
            q[3] = static_cast<std::uint8_t>((sum[3] + n / 2) / n);
        }
    return out;
}
