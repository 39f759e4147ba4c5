// Shared by the texture tests: texture and PNG files built here from the
// formats' own rules, never by the code under test.
#pragma once
#include "engine/engine_support.h"
#include "image.h"

#include <cstdint>
#include <string>
#include <vector>

inline void PutLE(std::string& s, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// An 8-bit texture. Pixel (x, y) of level k has index (x * 7 + y * 3 + k) & 255
// (top-down coordinates); palette entry i is (i, 255 - i, i / 2, alpha(i)).
struct BmpShape {
    int width = 16, height = 16;
    int colours = 0;           // biClrUsed (0: 256)
    bool alpha = false;        // reserved bytes i & 0xFF, else 0
    int levels = 0;            // mip levels after the top image
    bool padLevels = false;    // their rows padded to 4 bytes
    bool fs70 = false;
    bool topDown = false;
    std::string trailing;      // bytes after everything
};

inline std::string MakeBmp(const BmpShape& s) {
    const int entries = s.colours ? s.colours : 256;
    const std::uint32_t offset = 54 + 4 * entries + (s.fs70 ? 20 : 0);
    std::string pixels;
    for (int k = 0; k <= s.levels; ++k) {
        const int w = std::max(1, s.width >> k), h = std::max(1, s.height >> k);
        const int stride = (k == 0 || s.padLevels) ? (w + 3) / 4 * 4 : w;
        for (int row = 0; row < h; ++row) {
            const int y = s.topDown ? row : h - 1 - row;
            for (int x = 0; x < stride; ++x)
                pixels += static_cast<char>(x < w ? ((x * 7 + y * 3 + k) & 255) % entries : 0);
        }
    }
    std::string out = "BM";
    PutLE(out, offset + static_cast<std::uint32_t>(pixels.size() + s.trailing.size()), 4);
    PutLE(out, 0, 4);
    PutLE(out, offset, 4);
    PutLE(out, 40, 4);
    PutLE(out, static_cast<std::uint32_t>(s.width), 4);
    PutLE(out, static_cast<std::uint32_t>(s.topDown ? -s.height : s.height), 4);
    PutLE(out, 1, 2);
    PutLE(out, 8, 2);
    PutLE(out, 0, 4);
    PutLE(out, 0, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, static_cast<std::uint32_t>(s.colours), 4);
    PutLE(out, 0, 4);
    for (int i = 0; i < entries; ++i) {
        out += static_cast<char>(i / 2);
        out += static_cast<char>(255 - i);
        out += static_cast<char>(i);
        out += static_cast<char>(s.alpha ? i : 0);
    }
    if (s.fs70) {
        out += "FS70";
        PutLE(out, 20, 4);
        PutLE(out, 0, 4);
        PutLE(out, 0, 4);
        PutLE(out, 1, 2);
        PutLE(out, 8, 2);  // the largest image, 1 << 8
    }
    return out + pixels + s.trailing;
}

// A 16-bit or DXT texture: header with masks or FourCC, then `pixels` as given.
inline std::string MakeRawBmp(int width, int height, std::uint32_t compression, const std::vector<std::uint32_t>& masks,
                              const std::string& pixels, int bits = 16) {
    const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(masks.size());
    std::string out = "BM";
    PutLE(out, offset + static_cast<std::uint32_t>(pixels.size()), 4);
    PutLE(out, 0, 4);
    PutLE(out, offset, 4);
    PutLE(out, 40, 4);
    PutLE(out, static_cast<std::uint32_t>(width), 4);
    PutLE(out, static_cast<std::uint32_t>(height), 4);
    PutLE(out, 1, 2);
    PutLE(out, static_cast<std::uint32_t>(bits), 2);
    PutLE(out, compression, 4);
    for (int i = 0; i < 5; ++i) PutLE(out, 0, 4);
    for (std::uint32_t m : masks) PutLE(out, m, 4);
    return out + pixels;
}

// ---- PNG files written by hand: stored (uncompressed) deflate blocks ----

inline std::uint32_t Crc32(const std::string& data) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : data) {
        c ^= b;
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

inline void PutBE(std::string& s, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::string Chunk(const std::string& type, const std::string& data) {
    std::string out;
    PutBE(out, static_cast<std::uint32_t>(data.size()));
    out += type + data;
    PutBE(out, Crc32(type + data));
    return out;
}

// `raw`: the filtered scanlines (each starting with filter byte 0).
inline std::string Zlib(const std::string& raw) {
    std::string out = "\x78\x01";
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        out += static_cast<char>(at + n >= raw.size() ? 1 : 0);
        out += static_cast<char>(n & 0xFF);
        out += static_cast<char>(n >> 8);
        out += static_cast<char>(~n & 0xFF);
        out += static_cast<char>((~n >> 8) & 0xFF);
        out += raw.substr(at, n);
        if (raw.empty()) break;
    }
    PutBE(out, (b << 16) | a);
    return out;
}

// A PNG of `width` x `height`, colour type and depth as given, whose
// samples come from `sample(x, y, channel)` (full-depth values). `extra`
// chunks (PLTE, tRNS) go before IDAT. Interlaced files use Adam7.
template <typename Sample>
std::string MakePng(int width, int height, int colourType, int depth, bool interlaced, Sample sample,
                    const std::string& extra = "") {
    const int channels = colourType == 0 ? 1 : colourType == 2 ? 3 : colourType == 3 ? 1 : colourType == 4 ? 2 : 4;
    std::string ihdr;
    PutBE(ihdr, static_cast<std::uint32_t>(width));
    PutBE(ihdr, static_cast<std::uint32_t>(height));
    ihdr += static_cast<char>(depth);
    ihdr += static_cast<char>(colourType);
    ihdr += std::string("\0\0", 2);
    ihdr += static_cast<char>(interlaced ? 1 : 0);
    static const int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                      {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    const int passes = interlaced ? 7 : 1;
    std::string raw;
    for (int p = 0; p < passes; ++p) {
        const int x0 = interlaced ? kPasses[p][0] : 0, y0 = interlaced ? kPasses[p][1] : 0;
        const int dx = interlaced ? kPasses[p][2] : 1, dy = interlaced ? kPasses[p][3] : 1;
        if (x0 >= width || y0 >= height) continue;
        for (int y = y0; y < height; y += dy) {
            raw += '\0';
            for (int x = x0; x < width; x += dx)
                for (int ch = 0; ch < channels; ++ch) {
                    const std::uint32_t v = sample(x, y, ch);
                    if (depth == 16) raw += static_cast<char>(v >> 8);
                    raw += static_cast<char>(v & 0xFF);
                }
        }
    }
    return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) + extra + Chunk("IDAT", Zlib(raw)) +
           Chunk("IEND", "");
}

inline const std::uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }
