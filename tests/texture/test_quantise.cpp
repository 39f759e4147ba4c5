// Colour reduction: exact when the colours fit, the nearest entry really
// the nearest, a quality floor on a smooth gradient, and the same palette
// every time; and the resampling that makes levels and --resize.
#include "demo_paint.h"
#include "quantise.h"
#include "resample.h"
#include "texture_support.h"

namespace {

TEST(Quantise, FewColoursAreKeptExactly) {
    Image image(16, 16);  // 256 colours; the right half transparent
    for (int i = 0; i < 256; ++i)
        image.rgba[4 * i] = static_cast<std::uint8_t>(i % 16 * 16), image.rgba[4 * i + 1] = static_cast<std::uint8_t>(i / 16 * 16),
        image.rgba[4 * i + 3] = i % 16 < 8 ? 255 : 0;
    for (bool alpha : {false, true}) {
        const Quantised q = Quantise(image, 256, alpha, true);
        EXPECT_EQ(q.distinct, 256u);
        EXPECT_TRUE(MeasureError(image, q.indices, q.palette, alpha).exact) << "alpha " << alpha;
    }
}

TEST(Quantise, EveryPixelGetsItsNearestEntry) {
    for (bool alpha : {false, true}) {
        Image image(64, 64);  // deterministic noise
        unsigned seed = alpha ? 7 : 3;
        for (std::size_t i = 0; i < image.rgba.size(); ++i) {
            seed = seed * 1103515245u + 12345u;
            image.rgba[i] = !alpha && i % 4 == 3 ? 255 : static_cast<std::uint8_t>(seed >> 16);
        }
        const Quantised q = Quantise(image, 37, alpha, false);
        EXPECT_LE(q.palette.size(), 37u * 4);
        const std::vector<std::uint8_t> mapped = MapToPalette(image, q.palette, alpha, false);
        for (std::size_t i = 0; i < mapped.size(); ++i) {
            std::size_t want = 0;  // the first of the nearest, by a plain scan
            long wantDistance = -1;
            for (std::size_t e = 0; e < q.palette.size() / 4; ++e) {
                long d = 0;
                for (int ch = 0; ch < (alpha ? 4 : 3); ++ch)
                    d += long(image.rgba[4 * i + ch] - q.palette[4 * e + ch]) * (image.rgba[4 * i + ch] - q.palette[4 * e + ch]);
                if (wantDistance < 0 || d < wantDistance) want = e, wantDistance = d;
            }
            ASSERT_EQ(mapped[i], want) << "pixel " << i << ", alpha " << alpha;
            ASSERT_EQ(q.indices[i], want) << "pixel " << i << ", alpha " << alpha;
        }
    }
}

TEST(Quantise, GradientQualityAndDeterminism) {
    const Image g = Gradient(256, 256);
    const Quantised a = Quantise(g, 256, false, false);
    // ImageMagick's convert -colors 256 +dither reaches 33.8 dB on this picture.
    EXPECT_GT(MeasureError(g, a.indices, a.palette, false).psnr, 33.8);
    const Quantised b = Quantise(g, 256, false, false);
    EXPECT_EQ(a.palette, b.palette);
    EXPECT_EQ(a.indices, b.indices);
}

TEST(Quantise, DitheringKeepsTheMeanOfAFlatColour) {
    Image flat(32, 32);
    for (std::size_t i = 0; i < flat.rgba.size(); i += 4) flat.rgba[i] = 100, flat.rgba[i + 3] = 255;
    const std::vector<std::uint8_t> palette = {0, 0, 0, 255, 255, 0, 0, 255};
    for (bool dither : {false, true}) {  // without it every pixel is the nearest, black
        double red = 0;
        for (std::uint8_t i : MapToPalette(flat, palette, false, dither)) red += palette[4 * i];
        EXPECT_NEAR(red / (32 * 32), dither ? 100 : 0, dither ? 3 : 0);
    }
}

TEST(Resample, TransparentPixelsLendNoColourAndFlatStaysFlat) {
    Image image(2, 2);
    const std::uint8_t pixels[] = {200, 0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0};
    std::copy(pixels, pixels + 16, image.rgba.begin());
    const Image half = Halve(image);
    EXPECT_EQ(std::vector<int>(half.rgba.begin(), half.rgba.end()), (std::vector<int>{200, 0, 0, 64}));
    // A 4 x 1 strip halves along its length only.
    Image strip(4, 1);
    for (int x = 0; x < 4; ++x) strip.At(x, 0)[0] = static_cast<std::uint8_t>(x * 40), strip.At(x, 0)[3] = 255;
    const Image h = Halve(strip);
    EXPECT_EQ(std::vector<int>({h.width, h.height, h.At(1, 0)[0]}), std::vector<int>({2, 1, 100}));
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
