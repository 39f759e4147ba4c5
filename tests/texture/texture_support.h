// Shared by the texture tests: texture and PNG files built here from the
// formats' own rules, never by the code under test.
#pragma once
#include "bmp.h"
#include "image.h"
#include "platform.h"
#include "support/support.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

inline void PutLE(std::string& s, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// File header and 40-byte info header; `rest` (palette or masks, pixels) follows.
inline std::string BmpHeaders(int width, int height, int bits, std::uint32_t compression, std::uint32_t colours,
                              std::uint32_t offset, std::size_t rest) {
    std::string out = "BM";
    for (auto [v, n] : {std::pair<std::uint32_t, int>{static_cast<std::uint32_t>(54 + rest), 4}, {0, 4}, {offset, 4},
                        {40, 4}, {static_cast<std::uint32_t>(width), 4}, {static_cast<std::uint32_t>(height), 4}, {1, 2},
                        {static_cast<std::uint32_t>(bits), 2}, {compression, 4}, {0, 4}, {2835, 4}, {2835, 4},
                        {colours, 4}, {0, 4}})
        PutLE(out, v, n);
    return out;
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
    std::string body;
    for (int i = 0; i < entries; ++i)
        body += {static_cast<char>(i / 2), static_cast<char>(255 - i), static_cast<char>(i), static_cast<char>(s.alpha ? i : 0)};
    if (s.fs70) {
        body += "FS70";
        for (auto [v, n] : {std::pair<std::uint32_t, int>{20, 4}, {0, 4}, {0, 4}, {1, 2}, {8, 2}}) PutLE(body, v, n);
    }
    const std::uint32_t offset = 54 + static_cast<std::uint32_t>(body.size());
    for (int k = 0; k <= s.levels; ++k) {
        const int w = std::max(1, s.width >> k), h = std::max(1, s.height >> k);
        const int stride = (k == 0 || s.padLevels) ? (w + 3) / 4 * 4 : w;
        for (int row = 0; row < h; ++row) {
            const int y = s.topDown ? row : h - 1 - row;
            for (int x = 0; x < stride; ++x) body += static_cast<char>(x < w ? ((x * 7 + y * 3 + k) & 255) % entries : 0);
        }
    }
    body += s.trailing;
    return BmpHeaders(s.width, s.topDown ? -s.height : s.height, 8, 0, static_cast<std::uint32_t>(s.colours), offset,
                      body.size()) + body;
}

// A 16-bit or DXT texture: header with masks or FourCC, then `pixels` as given.
inline std::string MakeRawBmp(int width, int height, std::uint32_t compression, const std::vector<std::uint32_t>& masks,
                              const std::string& pixels) {
    std::string rest;
    for (std::uint32_t m : masks) PutLE(rest, m, 4);
    rest += pixels;
    return BmpHeaders(width, height, 16, compression, 0, 54 + 4 * static_cast<std::uint32_t>(masks.size()), rest.size()) +
           rest;
}

// ---- PNG chunks written by hand ----

inline void PutBE(std::string& s, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::string Chunk(const std::string& type, const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : type + data) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    std::string out;
    PutBE(out, static_cast<std::uint32_t>(data.size()));
    out += type + data;
    PutBE(out, ~crc);
    return out;
}

// The PNG signature and an IHDR of `width` x `height`, 8 bits, `colourType`.
inline std::string PngStart(std::uint32_t width, std::uint32_t height, int colourType) {
    std::string ihdr;
    PutBE(ihdr, width);
    PutBE(ihdr, height);
    ihdr += {8, static_cast<char>(colourType), 0, 0, 0};
    return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr);
}

inline const std::uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

// The layout of a texture file the test expects to be readable.
inline TextureLayout ReadLayout(const std::string& file) {
    TextureLayout l;
    std::string reason;
    EXPECT_TRUE(ReadTextureLayout(Bytes(file), file.size(), &l, &reason)) << reason;
    return l;
}
