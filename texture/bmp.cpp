// Sections:
//   1. Little-endian fields and level geometry
//   2. Reading the header
//   3. Decoding pixels (8-bit, 16-bit, DXT, 24/32-bit)
//   4. Writing the 8-bit kind
#include "bmp.h"

#include <cstring>

namespace {

// ---------------------------------------------------------------------------
// 1. Fields and geometry
// ---------------------------------------------------------------------------

std::uint32_t U16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void Put16(std::string& s, std::size_t at, std::uint32_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::size_t at, std::uint32_t v) {
    Put16(s, at, v & 0xFFFF);
    Put16(s, at + 2, v >> 16);
}

constexpr std::uint32_t kFourCC1 = 0x31545844, kFourCC3 = 0x33545844, kFourCC5 = 0x35545844;
constexpr int kMaxSide = 16384;  // beyond any texture; keeps every size below in 64 bits with room

bool IsDxt(TextureKind k) { return k == KindDxt1 || k == KindDxt3 || k == KindDxt5; }

int BitsPerPixel(TextureKind k) {
    switch (k) {
    case KindIndexed8: return 8;
    case KindRgb24: return 24;
    case KindRgb32: return 32;
    default: return 16;
    }
}

// Bytes of one level of w x h; `padded` rows are rounded up to 4 bytes, as
// a BMP's own rows always are. DXT levels are whole 4 x 4 blocks.
std::uint64_t LevelBytes(TextureKind kind, std::uint64_t w, std::uint64_t h, bool padded) {
    if (IsDxt(kind)) return ((w + 3) / 4) * ((h + 3) / 4) * (kind == KindDxt1 ? 8 : 16);
    std::uint64_t row = (w * static_cast<std::uint64_t>(BitsPerPixel(kind)) + 7) / 8;
    if (padded) row = (row + 3) & ~std::uint64_t(3);
    return row * h;
}

std::uint64_t RowBytes(const TextureLayout& l, int level) {
    std::uint64_t row = (static_cast<std::uint64_t>(LevelWidth(l, level)) * BitsPerPixel(l.kind) + 7) / 8;
    return (level == 0 || l.mipRowsPadded) ? (row + 3) & ~std::uint64_t(3) : row;
}

std::size_t LevelOffset(const TextureLayout& l, int level) {
    std::uint64_t at = l.pixelOffset;
    for (int k = 0; k < level; ++k)
        at += LevelBytes(l.kind, LevelWidth(l, k), LevelHeight(l, k), k == 0 || l.mipRowsPadded);
    return static_cast<std::size_t>(at);
}

// The levels after the top image, from the bytes that follow it: a chain of
// exactly that length wins (rows unpadded first, as every level down to 4
// pixels wide is either way); else the chain leaving the fewest bytes over,
// which are kept as trailing bytes. A chain halves down to 1 x 1 at most.
void CountLevels(TextureLayout* l, std::uint64_t after) {
    std::uint64_t bestTotal = 0;
    l->mipLevels = 0;
    l->mipRowsPadded = false;
    for (bool padded : {false, true}) {
        std::uint64_t total = 0;
        int w = l->width, h = l->height;
        for (int n = 1; w > 1 || h > 1; ++n) {
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
            total += LevelBytes(l->kind, static_cast<std::uint64_t>(w), static_cast<std::uint64_t>(h), padded);
            if (total > after) break;
            if (total > bestTotal || total == after) {
                bestTotal = total;
                l->mipLevels = n;
                l->mipRowsPadded = padded;
            }
            if (total == after) break;
        }
        if (bestTotal == after) break;
    }
    l->trailing = static_cast<std::size_t>(after - bestTotal);
}

std::string Num(std::uint64_t v) { return std::to_string(v); }

// A DXT1 block whose first colour is not above its second has a transparent
// fourth colour: the texture carries alpha when a texel uses it.
bool Dxt1HasTransparency(const std::uint8_t* p, const TextureLayout& l) {
    const std::uint64_t blocks = static_cast<std::uint64_t>((l.width + 3) / 4) * ((l.height + 3) / 4);
    for (std::uint64_t b = 0; b < blocks; ++b, p += 8) {
        if (U16(p) > U16(p + 2)) continue;
        for (std::uint32_t bits = U32(p + 4); bits; bits >>= 2)
            if ((bits & 3) == 3) return true;
    }
    return false;
}

} // namespace

int LevelWidth(const TextureLayout& l, int level) {
    int w = l.width >> level;
    return w > 0 ? w : 1;
}
int LevelHeight(const TextureLayout& l, int level) {
    int h = l.height >> level;
    return h > 0 ? h : 1;
}

// ---------------------------------------------------------------------------
// 2. The header
// ---------------------------------------------------------------------------

bool ReadTextureLayout(const std::uint8_t* d, std::size_t size, TextureLayout* out, std::string* reason) {
    *out = TextureLayout();
    auto fail = [&](const std::string& why) {
        *reason = why;
        return false;
    };
    if (size < 2 || d[0] != 'B' || d[1] != 'M') return fail("not a BMP file");
    if (size < 54) return fail("too short for a BMP header (" + Num(size) + " bytes)");
    const std::uint32_t fileSize = U32(d + 2), offset = U32(d + 10), infoSize = U32(d + 14);
    if (fileSize > size)
        return fail("the file is shorter than its header says (" + Num(size) + " of " + Num(fileSize) + " bytes)");
    if (infoSize < 40) return fail("an old OS/2 BMP header, which the simulator does not read");
    if (14ull + infoSize > size) return fail("the file is shorter than its header (" + Num(size) + " bytes)");
    const std::int32_t width = static_cast<std::int32_t>(U32(d + 18));
    const std::int32_t height = static_cast<std::int32_t>(U32(d + 22));
    const std::uint32_t planes = U16(d + 26), bits = U16(d + 28), compression = U32(d + 30);
    const std::uint32_t imageSize = U32(d + 34), colours = U32(d + 46);
    if (width <= 0 || height == 0 || height == INT32_MIN) return fail("its header gives no size");
    const std::int64_t h = height < 0 ? -static_cast<std::int64_t>(height) : height;
    if (width > kMaxSide || h > kMaxSide)
        return fail("its header claims " + Num(static_cast<std::uint64_t>(width)) + " x " + Num(h) + " pixels");
    if (planes != 1) return fail("its header gives " + Num(planes) + " planes");

    TextureLayout& l = *out;
    l.width = width;
    l.height = static_cast<int>(h);
    l.topDown = height < 0;
    l.fileSize = size;
    l.pixelOffset = offset;
    std::uint64_t headersEnd = 14ull + infoSize;  // where the palette or the masks end
    if (compression == kFourCC1 || compression == kFourCC3 || compression == kFourCC5) {
        l.kind = compression == kFourCC1 ? KindDxt1 : compression == kFourCC3 ? KindDxt3 : KindDxt5;
        l.alpha = l.kind != KindDxt1;
    } else if (bits == 8 && compression == 0) {
        if (colours > 256) return fail("its header gives a palette of " + Num(colours) + " colours (at most 256)");
        l.paletteSize = colours ? static_cast<int>(colours) : 256;
        l.paletteOffset = 14 + infoSize;
        headersEnd = l.paletteOffset + 4ull * l.paletteSize;
    } else if (bits == 16 && (compression == 0 || compression == 3)) {
        std::uint32_t r = 0x7C00, g = 0x03E0, b = 0x001F;
        if (compression == 3) {
            const std::uint64_t at = infoSize >= 52 ? 54 : 14ull + infoSize;  // inside a newer header, else after it
            if (infoSize < 52) headersEnd += 12;
            if (at + 12 > size) return fail("the file is shorter than its colour masks");
            r = U32(d + at);
            g = U32(d + at + 4);
            b = U32(d + at + 8);
        }
        if (compression == 0) l.kind = KindRgb555;
        else if (r == 0xF800 && g == 0x07E0 && b == 0x001F) l.kind = KindRgb565;
        else if (r == 0x7C00 && g == 0x03E0 && b == 0x001F) l.kind = KindArgb1555;
        else if (r == 0x0F00 && g == 0x00F0 && b == 0x000F) l.kind = KindArgb4444;
        else return fail("16-bit with colour masks the simulator's tools never wrote");
        l.alpha = l.kind == KindArgb1555 || l.kind == KindArgb4444;
    } else if ((bits == 24 || bits == 32) && compression == 0) {
        l.kind = bits == 24 ? KindRgb24 : KindRgb32;
    } else if (compression == 1 || compression == 2) {
        return fail("a run-length compressed BMP");
    } else {
        return fail("a " + Num(bits) + "-bit BMP" + (compression ? " with compression " + Num(compression) : ""));
    }
    if (headersEnd > offset)
        return fail(l.kind == KindIndexed8 ? "its palette runs into the pixels" : "its header runs into the pixels");
    if (offset > size) return fail("the file ends before its pixels (" + Num(size) + " bytes)");
    const std::uint64_t top = LevelBytes(l.kind, l.width, l.height, true);
    if (offset + top > size)
        return fail("the file is shorter than its pixels need (" + Num(size) + " of " + Num(offset + top) + " bytes)");
    if (imageSize > size - offset)
        return fail("the file is shorter than its header says (" + Num(size - offset) + " of " + Num(imageSize) +
                    " bytes of pixels)");
    // FS70, its length (20) and fields of unknown meaning, just before the pixels.
    l.fs70 = offset >= headersEnd + 20 && std::memcmp(d + offset - 20, "FS70", 4) == 0;
    if (l.kind == KindIndexed8)
        for (int i = 0; i < l.paletteSize; ++i) l.paletteAlpha = l.paletteAlpha || d[l.paletteOffset + 4 * i + 3] != 0;
    if (l.kind == KindDxt1) l.alpha = Dxt1HasTransparency(d + offset, l);
    l.alpha = l.alpha || l.paletteAlpha;
    CountLevels(&l, size - offset - top);
    return true;
}

std::string DescribeTexture(const TextureLayout& l) {
    static const char* const kNames[] = {"8-bit", "16-bit 565", "16-bit 1555", "16-bit 4444", "16-bit 555",
                                         "DXT1",  "DXT3",       "DXT5",        "24-bit",      "32-bit"};
    std::string s = kNames[l.kind];
    if (l.kind == KindIndexed8) {
        if (l.paletteSize < 256) s += ", " + Num(static_cast<std::uint64_t>(l.paletteSize)) + "-colour palette";
        s += l.paletteAlpha ? ", palette alpha" : ", no palette alpha";
    }
    if (l.mipLevels)
        s += ", " + Num(static_cast<std::uint64_t>(l.mipLevels)) + (l.mipLevels == 1 ? " mip level" : " mip levels") +
             " (down to " + Num(static_cast<std::uint64_t>(LevelWidth(l, l.mipLevels))) + " x " +
             Num(static_cast<std::uint64_t>(LevelHeight(l, l.mipLevels))) + ")";
    else
        s += ", no mip levels";
    if (l.fs70) s += ", FS70 block";
    return s;
}

std::string SimulatorProblem(const TextureLayout& l) {
    if (l.kind == KindRgb24 || l.kind == KindRgb32)
        return Num(static_cast<std::uint64_t>(BitsPerPixel(l.kind))) +
               "-bit colour, as a paint program saves it (the simulator shows 8-bit textures)";
    auto powerOfTwo = [](int v) { return v > 0 && v <= 256 && (v & (v - 1)) == 0; };
    if (!powerOfTwo(l.width) || !powerOfTwo(l.height))
        return Num(static_cast<std::uint64_t>(l.width)) + " x " + Num(static_cast<std::uint64_t>(l.height)) +
               ": sides must be powers of two up to 256";
    return std::string();
}

// ---------------------------------------------------------------------------
// 3. Decoding
// ---------------------------------------------------------------------------
namespace {

// Scales an n-bit channel to 8 bits, 0 and full scale exact.
std::uint8_t Expand(std::uint32_t v, int bits) { return static_cast<std::uint8_t>((v * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1)); }

void Colour565(std::uint32_t c, std::uint8_t* out) {
    out[0] = Expand((c >> 11) & 31, 5);
    out[1] = Expand((c >> 5) & 63, 6);
    out[2] = Expand(c & 31, 5);
    out[3] = 255;
}

// One 4 x 4 block of DXT colour, as DirectDraw surfaces hold it.
void DecodeColourBlock(const std::uint8_t* b, bool dxt1, std::uint8_t texels[16][4]) {
    const std::uint32_t c0 = U16(b), c1 = U16(b + 2);
    std::uint8_t colours[4][4];
    Colour565(c0, colours[0]);
    Colour565(c1, colours[1]);
    for (int ch = 0; ch < 3; ++ch) {
        if (c0 > c1 || !dxt1) {
            colours[2][ch] = static_cast<std::uint8_t>((2 * colours[0][ch] + colours[1][ch] + 1) / 3);
            colours[3][ch] = static_cast<std::uint8_t>((colours[0][ch] + 2 * colours[1][ch] + 1) / 3);
        } else {
            colours[2][ch] = static_cast<std::uint8_t>((colours[0][ch] + colours[1][ch]) / 2);
            colours[3][ch] = 0;
        }
    }
    colours[2][3] = 255;
    colours[3][3] = (c0 > c1 || !dxt1) ? 255 : 0;  // DXT1's fourth colour is transparent black
    const std::uint32_t bits = U32(b + 4);
    for (int i = 0; i < 16; ++i) std::memcpy(texels[i], colours[(bits >> (2 * i)) & 3], 4);
}

void DecodeDxt(const std::uint8_t* p, const TextureLayout& l, Image* out) {
    const int blockBytes = l.kind == KindDxt1 ? 8 : 16;
    const int blocksWide = (l.width + 3) / 4, blocksHigh = (l.height + 3) / 4;
    for (int by = 0; by < blocksHigh; ++by)
        for (int bx = 0; bx < blocksWide; ++bx, p += blockBytes) {
            std::uint8_t texels[16][4];
            DecodeColourBlock(p + (l.kind == KindDxt1 ? 0 : 8), l.kind == KindDxt1, texels);
            if (l.kind == KindDxt3) {
                for (int i = 0; i < 16; ++i) texels[i][3] = Expand((p[i / 2] >> (4 * (i & 1))) & 15, 4);
            } else if (l.kind == KindDxt5) {
                std::uint32_t a[8] = {p[0], p[1]};
                for (int k = 2; k < 8; ++k)
                    a[k] = a[0] > a[1] ? ((8 - k) * a[0] + (k - 1) * a[1] + 3) / 7
                           : k < 6     ? ((6 - k) * a[0] + (k - 1) * a[1] + 2) / 5
                                       : (k == 6 ? 0 : 255);
                std::uint64_t bits = 0;
                for (int k = 0; k < 6; ++k) bits |= static_cast<std::uint64_t>(p[2 + k]) << (8 * k);
                for (int i = 0; i < 16; ++i) texels[i][3] = static_cast<std::uint8_t>(a[(bits >> (3 * i)) & 7]);
            }
            // Block rows top first, as in a DirectDraw surface.
            for (int i = 0; i < 16; ++i) {
                const int x = bx * 4 + (i & 3), y = by * 4 + i / 4;
                if (x < l.width && y < l.height) std::memcpy(out->At(x, y), texels[i], 4);
            }
        }
}

} // namespace

std::vector<std::uint8_t> ReadPalette(const std::uint8_t* d, const TextureLayout& l) {
    std::vector<std::uint8_t> rgba(4 * static_cast<std::size_t>(l.paletteSize));
    for (int i = 0; i < l.paletteSize; ++i) {
        const std::uint8_t* e = d + l.paletteOffset + 4 * i;  // blue, green, red, reserved
        rgba[4 * i] = e[2];
        rgba[4 * i + 1] = e[1];
        rgba[4 * i + 2] = e[0];
        rgba[4 * i + 3] = e[3];
    }
    return rgba;
}

std::vector<std::uint8_t> ReadIndices(const std::uint8_t* d, const TextureLayout& l, int level) {
    const int w = LevelWidth(l, level), h = LevelHeight(l, level);
    const std::size_t stride = static_cast<std::size_t>(RowBytes(l, level));
    const std::uint8_t* base = d + LevelOffset(l, level);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        std::memcpy(&out[static_cast<std::size_t>(y) * w], base + stride * (l.topDown ? y : h - 1 - y), w);
    return out;
}

void DecodeTexture(const std::uint8_t* d, const TextureLayout& l, Image* out) {
    *out = Image(l.width, l.height);
    if (IsDxt(l.kind)) {
        DecodeDxt(d + l.pixelOffset, l, out);
        return;
    }
    if (l.kind == KindIndexed8) {
        const std::vector<std::uint8_t> palette = ReadPalette(d, l);
        const std::vector<std::uint8_t> indices = ReadIndices(d, l, 0);
        for (std::size_t i = 0; i < indices.size(); ++i) {
            const int c = indices[i] < l.paletteSize ? indices[i] : 0;  // past a short palette: its first colour
            std::memcpy(&out->rgba[4 * i], &palette[4 * static_cast<std::size_t>(c)], 4);
            if (!l.paletteAlpha) out->rgba[4 * i + 3] = 255;
        }
        return;
    }
    const std::size_t stride = static_cast<std::size_t>(RowBytes(l, 0));
    for (int y = 0; y < l.height; ++y) {
        const std::uint8_t* row = d + l.pixelOffset + stride * (l.topDown ? y : l.height - 1 - y);
        for (int x = 0; x < l.width; ++x) {
            std::uint8_t* px = out->At(x, y);
            if (l.kind == KindRgb24 || l.kind == KindRgb32) {
                const std::uint8_t* s = row + x * (l.kind == KindRgb24 ? 3 : 4);
                px[0] = s[2];
                px[1] = s[1];
                px[2] = s[0];
                px[3] = 255;  // the fourth byte of 32-bit BI_RGB is unused
                continue;
            }
            const std::uint32_t v = U16(row + 2 * x);
            switch (l.kind) {
            case KindRgb565: Colour565(v, px); break;
            case KindArgb4444:
                px[0] = Expand((v >> 8) & 15, 4), px[1] = Expand((v >> 4) & 15, 4), px[2] = Expand(v & 15, 4);
                px[3] = Expand(v >> 12, 4);
                break;
            default:  // 555, with the spare bit as alpha in 1555
                px[0] = Expand((v >> 10) & 31, 5), px[1] = Expand((v >> 5) & 31, 5), px[2] = Expand(v & 31, 5);
                px[3] = (l.kind == KindRgb555 || (v & 0x8000)) ? 255 : 0;
                break;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// 4. Writing
// ---------------------------------------------------------------------------
namespace {

void PutPalette(std::string& s, std::size_t at, const std::vector<std::uint8_t>& rgba, int count) {
    for (int i = 0; i < count; ++i) {
        const std::size_t from = 4 * static_cast<std::size_t>(i);
        const bool have = from + 3 < rgba.size();
        s[at + from] = static_cast<char>(have ? rgba[from + 2] : 0);
        s[at + from + 1] = static_cast<char>(have ? rgba[from + 1] : 0);
        s[at + from + 2] = static_cast<char>(have ? rgba[from] : 0);
        s[at + from + 3] = static_cast<char>(have ? rgba[from + 3] : 0);
    }
}

void PutLevel(std::string& s, const TextureLayout& l, int level, const std::vector<std::uint8_t>& indices) {
    const int w = LevelWidth(l, level), h = LevelHeight(l, level);
    const std::size_t stride = static_cast<std::size_t>(RowBytes(l, level)), base = LevelOffset(l, level);
    for (int y = 0; y < h; ++y)
        std::memcpy(&s[base + stride * (l.topDown ? y : h - 1 - y)], &indices[static_cast<std::size_t>(y) * w], w);
}

} // namespace

std::string WriteIndexedOver(const std::string& old, const TextureLayout& l, const std::vector<std::uint8_t>& palette,
                             const std::vector<std::vector<std::uint8_t>>& levels) {
    std::string out = old;
    PutPalette(out, l.paletteOffset, palette, l.paletteSize);
    for (int k = 0; k <= l.mipLevels && k < static_cast<int>(levels.size()); ++k) PutLevel(out, l, k, levels[k]);
    return out;
}

std::string WriteIndexedPlain(int width, int height, const std::vector<std::uint8_t>& palette,
                              const std::vector<std::uint8_t>& indices) {
    TextureLayout l;
    l.width = width;
    l.height = height;
    l.paletteSize = 256;
    l.paletteOffset = 54;
    l.pixelOffset = 54 + 1024;
    const std::size_t pixels = static_cast<std::size_t>(LevelBytes(KindIndexed8, width, height, true));
    std::string out(l.pixelOffset + pixels, '\0');
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<std::uint32_t>(out.size()));
    Put32(out, 10, static_cast<std::uint32_t>(l.pixelOffset));
    Put32(out, 14, 40);
    Put32(out, 18, static_cast<std::uint32_t>(width));
    Put32(out, 22, static_cast<std::uint32_t>(height));
    Put16(out, 26, 1);
    Put16(out, 28, 8);
    Put32(out, 34, static_cast<std::uint32_t>(pixels));
    Put32(out, 38, 2835);  // 72 dpi, as the simulator's own files
    Put32(out, 42, 2835);
    Put32(out, 46, 256);
    PutPalette(out, l.paletteOffset, palette, 256);
    PutLevel(out, l, 0, indices);
    return out;
}
