// Texture files: every kind is read as its rules say, a header that lies is
// refused before its pixels are touched, and a written texture keeps the
// layout of the one it replaces.
#include "bmp.h"
#include "texture_support.h"

namespace {

std::vector<int> Pixel(const Image& image, int x, int y) { return std::vector<int>(image.At(x, y), image.At(x, y) + 4); }

TEST(TextureLayout, LevelsPaletteAlphaAndTrailingBytesAreFoundFromTheFile) {
    struct Row { const char* what; BmpShape shape; int levels; bool padded; std::size_t trailing; };
    auto shape = [](auto change) { BmpShape s; change(s); return s; };
    const Row rows[] = {
        {"plain", BmpShape(), 0, false, 0},
        {"levels to 1 x 1, rows unpadded", shape([](BmpShape& s) { s.levels = 4; }), 4, false, 0},
        {"levels to 1 x 1, rows padded", shape([](BmpShape& s) { s.levels = 4, s.padLevels = true; }), 4, true, 0},
        {"levels to 4 x 4 of a 256 x 256", shape([](BmpShape& s) { s.width = s.height = 256, s.levels = 6; }), 6, false, 0},
        {"levels then two stray bytes, 16 colours", shape([](BmpShape& s) { s.levels = 2, s.trailing = "xx", s.colours = 16; }), 2, false, 2},
        {"a 16-colour palette with alpha", shape([](BmpShape& s) { s.colours = 16, s.alpha = true; }), 0, false, 0},
        {"wide: 32 x 8 to 4 x 1", shape([](BmpShape& s) { s.width = 32, s.height = 8, s.levels = 3; }), 3, false, 0},
        {"FS70 block, top-down rows, palette alpha", shape([](BmpShape& s) { s.fs70 = s.topDown = s.alpha = true, s.levels = 2; }), 2, false, 0},
    };
    for (const Row& r : rows) {
        const std::string file = MakeBmp(r.shape);
        const TextureLayout l = ReadLayout(file);
        EXPECT_EQ(l.mipLevels, r.levels) << r.what;
        EXPECT_TRUE(r.levels <= 2 || l.mipRowsPadded == r.padded) << r.what;  // narrower levels tell the two apart
        EXPECT_EQ(l.trailing, r.trailing) << r.what;
        EXPECT_EQ(l.fs70, r.shape.fs70) << r.what;
        EXPECT_EQ(l.paletteAlpha, r.shape.alpha) << r.what;
        Image image;  // palette alpha is opacity; without it the reserved bytes mean nothing
        DecodeTexture(Bytes(file), l, &image);
        EXPECT_EQ(Pixel(image, 1, 0), (std::vector<int>{7, 248, 3, r.shape.alpha ? 7 : 255})) << r.what;  // index 7
        for (int k = 0; k <= l.mipLevels; ++k) {
            const std::vector<std::uint8_t> got = ReadIndices(Bytes(file), l, k);
            const int w = LevelWidth(l, k);
            for (std::size_t i = 0; i < got.size(); ++i)
                ASSERT_EQ(got[i], (((i % w) * 7 + (i / w) * 3 + k) & 255) % l.paletteSize) << r.what << ", level " << k << ", pixel " << i;
        }
    }
}

TEST(TextureLayout, LyingHeadersAreRefusedWithTheirReason) {
    const std::string good = MakeBmp(BmpShape());
    auto patched = [&](std::size_t at, std::uint32_t value, int bytes = 4) {
        std::string v;
        PutLE(v, value, bytes);
        return std::string(good).replace(at, v.size(), v);
    };
    struct Row { const char* what; std::string file; const char* reason; };
    const Row rows[] = {
        {"cut inside the header", good.substr(0, 40), "too short"},
        {"cut inside the pixels", good.substr(0, good.size() - 1), "shorter than its header says"},
        {"biSizeImage past the end", patched(34, 100000), "shorter than its header says"},
        {"20000 x 20000 in a small file", patched(18, 20000).replace(22, 4, std::string("\x20\x4e\0\0", 4)), "claims"},
        {"16 x 10000 in a small file", patched(22, 10000), "shorter than its pixels need"},
        {"negative width", patched(18, 0xFFFFFFF0u), "no size"},
        {"a palette of 300", patched(46, 300), "palette of 300"},
        {"pixels inside the palette", patched(10, 600), "palette runs into the pixels"},
        {"pixel offset past the end", patched(10, 100000), "ends before its pixels"},
        {"run-length compressed", patched(30, 1), "run-length"},
        {"4-bit", patched(28, 4, 2), "4-bit"},
        {"OS/2 header", patched(14, 12), "OS/2"},
        {"two planes", patched(26, 2, 2), "planes"},
        {"16-bit with odd masks", MakeRawBmp(4, 4, 3, {0xF000, 0x0F00, 0x00FF}, std::string(32, '\0')), "colour masks"},
        {"16-bit, masks cut off", MakeRawBmp(4, 4, 3, {}, "").substr(0, 54), "colour masks"},
        {"DXT1 short of its blocks", MakeRawBmp(8, 8, 0x31545844, {}, std::string(31, '\0')), "shorter than its pixels"},
    };
    for (const Row& r : rows) {
        TextureLayout l;
        std::string reason;
        EXPECT_FALSE(ReadTextureLayout(Bytes(r.file), r.file.size(), &l, &reason)) << r.what;
        EXPECT_NE(reason.find(r.reason), std::string::npos) << r.what << ": " << reason;
    }
    // No cut of a good file, levels and all, is read past its end (the sanitizers watch).
    BmpShape s;
    s.levels = 4;
    const std::string withLevels = MakeBmp(s);
    for (std::size_t n = 0; n < withLevels.size(); ++n) {
        const std::vector<std::uint8_t> cut(withLevels.begin(), withLevels.begin() + static_cast<std::ptrdiff_t>(n));
        TextureLayout l;
        std::string reason;
        if (!ReadTextureLayout(cut.data(), cut.size(), &l, &reason)) continue;
        Image image;
        DecodeTexture(cut.data(), l, &image);
        for (int k = 0; k <= l.mipLevels; ++k) ReadIndices(cut.data(), l, k);
    }
}

TEST(TextureDecode, SixteenBitAndDxtKindsGiveTheirColoursAndAlpha) {
    struct Row { std::uint32_t compression; std::vector<std::uint32_t> masks; std::uint16_t pixel; TextureKind kind; std::vector<int> rgba; };
    const Row rows[] = {
        {3, {0xF800, 0x07E0, 0x001F}, 0x07E0 | 0x0010, KindRgb565, {0, 255, 132, 255}},
        {3, {0x7C00, 0x03E0, 0x001F}, 0x8000 | 0x03E0, KindArgb1555, {0, 255, 0, 255}},
        {3, {0x7C00, 0x03E0, 0x001F}, 0x001F, KindArgb1555, {0, 0, 255, 0}},
        {3, {0x0F00, 0x00F0, 0x000F}, 0x80F0, KindArgb4444, {0, 255, 0, 136}},
        {0, {}, 0x001F, KindRgb555, {0, 0, 255, 255}},  // no alpha bit in plain 16-bit
    };
    for (const Row& r : rows) {
        std::string pixels;
        for (int i = 0; i < 4; ++i) PutLE(pixels, r.pixel, 2);  // 2 x 2: rows of 4 bytes
        const std::string file = MakeRawBmp(2, 2, r.compression, r.masks, pixels);
        const TextureLayout l = ReadLayout(file);
        EXPECT_EQ(l.kind, r.kind);
        Image image;
        DecodeTexture(Bytes(file), l, &image);
        EXPECT_EQ(Pixel(image, 1, 1), r.rgba) << DescribeTexture(l);
    }

    // One 4 x 4 block: colours 0 and 1 red (F800) and blue (001F), or swapped; texel x of each row uses index x.
    const std::string redBlue("\x00\xF8\x1F\x00\xE4\xE4\xE4\xE4", 8), blueRed("\x1F\x00\x00\xF8\xE4\xE4\xE4\xE4", 8);
    const std::string dxt3Alpha(8, '\xF0');  // texels alternate 0 and 15
    const std::string dxt5Alpha = std::string("\xFF\x00", 2) + "\x88\xC6\xFA\x88\xC6\xFA";  // indices 0..7
    struct Block { const char* what; std::uint32_t fourCC; std::string data; std::vector<std::vector<int>> texels; bool alpha; };
    const Block blocks[] = {
        {"DXT1, four colours", 0x31545844, redBlue, {{255, 0, 0, 255}, {0, 0, 255, 255}, {170, 0, 85, 255}, {85, 0, 170, 255}}, false},
        {"DXT1, three and transparent", 0x31545844, blueRed, {{0, 0, 255, 255}, {255, 0, 0, 255}, {127, 0, 127, 255}, {0, 0, 0, 0}}, true},
        {"DXT3", 0x33545844, dxt3Alpha + redBlue, {{255, 0, 0, 0}, {0, 0, 255, 255}, {170, 0, 85, 0}, {85, 0, 170, 255}}, true},
        {"DXT5", 0x35545844, dxt5Alpha + redBlue, {{255, 0, 0, 255}, {0, 0, 255, 0}, {170, 0, 85, 219}, {85, 0, 170, 182}}, true},
    };
    for (const Block& b : blocks) {
        const std::string file = MakeRawBmp(4, 4, b.fourCC, {}, b.data);
        const TextureLayout l = ReadLayout(file);
        EXPECT_EQ(l.alpha, b.alpha) << b.what;
        Image image;
        DecodeTexture(Bytes(file), l, &image);
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(image, x, 0), b.texels[x]) << b.what << ", texel " << x;
    }
}

TEST(TextureWrite, OnlyThePaletteAndTheLevelsChange) {
    BmpShape s;
    s.levels = 4;
    s.padLevels = s.fs70 = s.alpha = true;
    s.trailing = "tail";
    const std::string old = MakeBmp(s);
    const TextureLayout l = ReadLayout(old);
    std::vector<std::uint8_t> palette(4 * 256, 9);
    std::vector<std::vector<std::uint8_t>> levels;
    for (int k = 0; k <= l.mipLevels; ++k)
        levels.emplace_back(static_cast<std::size_t>(LevelWidth(l, k) * LevelHeight(l, k)), static_cast<std::uint8_t>(200 + k));
    const std::string written = WriteIndexedOver(old, l, palette, levels);
    ASSERT_EQ(written.size(), old.size());
    EXPECT_EQ(written.substr(0, l.paletteOffset), old.substr(0, l.paletteOffset));         // headers
    EXPECT_EQ(written.substr(l.pixelOffset - 20, 20), old.substr(l.pixelOffset - 20, 20));  // FS70 block
    EXPECT_EQ(written.substr(written.size() - 5), old.substr(old.size() - 5));  // the last row's padding, the tail
    const TextureLayout again = ReadLayout(written);
    for (int k = 0; k <= l.mipLevels; ++k) EXPECT_EQ(ReadIndices(Bytes(written), again, k), levels[k]) << "level " << k;

    const std::string plain = WriteIndexedPlain(8, 4, palette, std::vector<std::uint8_t>(32, 3));
    EXPECT_EQ(plain.size(), 54u + 1024 + 32);
    EXPECT_EQ(ReadLayout(plain).mipLevels, 0);
    EXPECT_EQ(ReadIndices(Bytes(plain), ReadLayout(plain), 0), std::vector<std::uint8_t>(32, 3));
}

} // namespace
