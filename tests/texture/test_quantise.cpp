// Colour reduction: exact when the colours fit, the nearest entry really
// the nearest, a quality floor on a smooth gradient, and the same palette
// every time.
#include "demo_paint.h"
#include "quantise.h"
#include "resample.h"
#include "texture_support.h"

#include <cstdlib>

namespace {

// A picture of n x n pixels with deterministic pseudo-random colours.
Image Noise(int n, unsigned seed, bool alpha) {
    Image image(n, n);
    for (std::size_t i = 0; i < image.rgba.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        image.rgba[i] = static_cast<std::uint8_t>(seed >> 16);
        if (!alpha && i % 4 == 3) image.rgba[i] = 255;
    }
    return image;
}

int BruteNearest(const std::uint8_t* p, const std::vector<std::uint8_t>& palette, int channels) {
    int best = -1;
    long bestDistance = 0;
    for (std::size_t e = 0; e < palette.size() / 4; ++e) {
        long d = 0;
        for (int ch = 0; ch < channels; ++ch) d += long(p[ch] - palette[4 * e + ch]) * (p[ch] - palette[4 * e + ch]);
        if (best < 0 || d < bestDistance) best = static_cast<int>(e), bestDistance = d;
    }
    return best;
}

TEST(Quantise, FewColoursAreKeptExactly) {
    Image image(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            std::uint8_t* p = image.At(x, y);
            p[0] = static_cast<std::uint8_t>(x * 16), p[1] = static_cast<std::uint8_t>(y * 16), p[2] = 7;
            p[3] = x < 8 ? 255 : 0;  // the same colours, transparent: different entries with alpha
        }
    for (bool alpha : {false, true}) {
        const Quantised q = Quantise(image, 256, alpha, true);
        EXPECT_EQ(q.distinct, alpha ? 256u : 256u);
        EXPECT_TRUE(MeasureError(image, q.indices, q.palette, alpha).exact) << "alpha " << alpha;
    }
    const Quantised small = Quantise(image, 16, true, false);
    EXPECT_LE(small.palette.size(), 16u * 4);
    for (std::uint8_t i : small.indices) ASSERT_LT(i, 16);
}

TEST(Quantise, EveryPixelGetsItsNearestEntry) {
    for (bool alpha : {false, true}) {
        const Image image = Noise(64, alpha ? 7 : 3, alpha);
        const Quantised q = Quantise(image, 37, alpha, false);
        const std::vector<std::uint8_t> mapped = MapToPalette(image, q.palette, alpha, false);
        for (std::size_t i = 0; i < mapped.size(); ++i) {
            const int want = BruteNearest(&image.rgba[4 * i], q.palette, alpha ? 4 : 3);
            ASSERT_EQ(mapped[i], want) << "pixel " << i << ", alpha " << alpha;
            ASSERT_EQ(q.indices[i], want) << "pixel " << i << ", alpha " << alpha;
        }
    }
}

TEST(Quantise, GradientQualityAndDeterminism) {
    const Image g = Gradient(256, 256);
    const Quantised a = Quantise(g, 256, false, false);
    const ColourError e = MeasureError(g, a.indices, a.palette, false);
    // ImageMagick's convert -colors 256 +dither reaches 33.8 dB on this picture.
    EXPECT_GT(e.psnr, 33.8);
    const Quantised b = Quantise(g, 256, false, false);
    EXPECT_EQ(a.palette, b.palette);
    EXPECT_EQ(a.indices, b.indices);
}

TEST(Quantise, DitheringKeepsTheMeanOfAFlatColour) {
    Image flat(32, 32);
    for (std::size_t i = 0; i < flat.rgba.size(); i += 4) flat.rgba[i] = 100, flat.rgba[i + 3] = 255;
    const std::vector<std::uint8_t> palette = {0, 0, 0, 255, 255, 0, 0, 255};
    auto meanRed = [&](const std::vector<std::uint8_t>& indices) {
        double sum = 0;
        for (std::uint8_t i : indices) sum += palette[4 * i];
        return sum / static_cast<double>(indices.size());
    };
    EXPECT_EQ(meanRed(MapToPalette(flat, palette, false, false)), 0);
    EXPECT_NEAR(meanRed(MapToPalette(flat, palette, false, true)), 100, 3);
}

TEST(Resample, TransparentPixelsLendNoColour) {
    Image image(2, 2);
    const std::uint8_t pixels[] = {200, 0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0};
    std::copy(pixels, pixels + 16, image.rgba.begin());
    const Image half = Halve(image);
    EXPECT_EQ(std::vector<int>(half.rgba.begin(), half.rgba.end()), (std::vector<int>{200, 0, 0, 64}));
    // A 4 x 1 strip halves along its length only.
    Image strip(4, 1);
    for (int x = 0; x < 4; ++x) strip.At(x, 0)[0] = static_cast<std::uint8_t>(x * 40), strip.At(x, 0)[3] = 255;
    const Image h = Halve(strip);
    EXPECT_EQ(h.width, 2);
    EXPECT_EQ(h.height, 1);
    EXPECT_EQ(h.At(1, 0)[0], 100);
    // A flat picture stays flat whatever the new size.
    Image flat(30, 20);
    for (std::size_t i = 0; i < flat.rgba.size(); i += 4) flat.rgba[i] = 90, flat.rgba[i + 1] = 30, flat.rgba[i + 3] = 255;
    for (auto [w, h2] : {std::pair<int, int>{64, 64}, {7, 3}, {1, 1}}) {
        const Image r = Resample(flat, w, h2);
        for (std::size_t i = 0; i < r.rgba.size(); i += 4)
            ASSERT_EQ(std::vector<int>(r.rgba.begin() + i, r.rgba.begin() + i + 4), (std::vector<int>{90, 30, 0, 255}))
                << w << " x " << h2;
    }
}

} // namespace
