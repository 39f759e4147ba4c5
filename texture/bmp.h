// The simulator's texture files: Windows BMPs of the kinds its tools wrote.
//
// Read: 8-bit palettised (the simulator's own kind, with or without palette
// alpha and mip levels), the same with the 20-byte FS70 block of later tools,
// 16-bit (565, 1555, 4444, and plain 555), DXT1/DXT3/DXT5, and 24/32-bit
// files a paint program saved (decoded, though the simulator does not show
// them). Written: only the 8-bit kind.
//
// Every size in a header is checked against the file's length before any
// pixel memory is taken, so a header that lies costs nothing.
#pragma once
#include "image.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum TextureKind : int {
    KindIndexed8 = 0,
    KindRgb565 = 1,
    KindArgb1555 = 2,
    KindArgb4444 = 3,
    KindRgb555 = 4,   // 16-bit BI_RGB: the spare bit is unused
    KindDxt1 = 5,
    KindDxt3 = 6,
    KindDxt5 = 7,
    KindRgb24 = 8,
    KindRgb32 = 9,
};

// Where everything of one texture file lies.
struct TextureLayout {
    TextureKind kind = KindIndexed8;
    int width = 0, height = 0;
    bool topDown = false;           // rows top first (a negative biHeight)
    std::size_t fileSize = 0;
    std::size_t pixelOffset = 0;    // bfOffBits
    std::size_t paletteOffset = 0;  // 8-bit: the first palette entry
    int paletteSize = 0;            // 8-bit: entries (biClrUsed, or 256)
    bool paletteAlpha = false;      // 8-bit: some entry's reserved byte is not 0
    bool fs70 = false;              // the FS70 block sits just before the pixels
    int mipLevels = 0;              // smaller copies after the top image
    bool mipRowsPadded = false;     // their rows padded to 4 bytes like the top image's
    std::size_t trailing = 0;       // bytes after the last level, kept as they are
    bool alpha = false;             // the kind carries transparency (palette alpha, 1555, 4444, DXT3/5, DXT1 with it)
};

// Reads the header of the texture file `data` and fills `out`. False with
// `reason` (for "not a texture the simulator can read: REASON") when the file
// is no BMP of a kind above, or its header disagrees with its length.
bool ReadTextureLayout(const std::uint8_t* data, std::size_t size, TextureLayout* out, std::string* reason);

// The top image as RGBA. `layout` must come from ReadTextureLayout on the
// same bytes. 8-bit textures without palette alpha decode opaque.
void DecodeTexture(const std::uint8_t* data, const TextureLayout& layout, Image* out);

// The kind for people: "8-bit, palette alpha, 7 mip levels, FS70 block", "DXT1"...
std::string DescribeTexture(const TextureLayout& layout);

// Why the simulator cannot show a texture it was able to read here (a
// 24-bit file, a side that is no power of two up to 256); empty when it can.
std::string SimulatorProblem(const TextureLayout& layout);

// Width and height of mip level `level` (0 the top image).
int LevelWidth(const TextureLayout& layout, int level);
int LevelHeight(const TextureLayout& layout, int level);

// An 8-bit texture's palette as RGBA, the reserved byte as alpha exactly as stored.
std::vector<std::uint8_t> ReadPalette(const std::uint8_t* data, const TextureLayout& layout);

// The colour indices of an 8-bit texture's level, rows top-down.
std::vector<std::uint8_t> ReadIndices(const std::uint8_t* data, const TextureLayout& layout, int level);

// A new 8-bit texture over the replaced one's layout: `old` (its bytes,
// an 8-bit texture described by `layout`) with the palette and the levels
// replaced and every other byte, headers and FS70 block and trailing bytes
// included, kept. `palette` holds layout.paletteSize RGBA entries (alpha goes
// to the reserved byte); `levels` the indices of layout.mipLevels + 1 levels.
std::string WriteIndexedOver(const std::string& old, const TextureLayout& layout, const std::vector<std::uint8_t>& palette,
                             const std::vector<std::vector<std::uint8_t>>& levels);

// A plain 8-bit texture: headers, 256 palette entries, bottom-up rows, no levels.
std::string WriteIndexedPlain(int width, int height, const std::vector<std::uint8_t>& palette,
                              const std::vector<std::uint8_t>& indices);
