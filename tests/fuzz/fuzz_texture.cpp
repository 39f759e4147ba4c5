// libFuzzer target for the texture reader and the PNG path: the input is a
// texture file or a PNG as a player's folder, or anyone who can write to it,
// might hold. Besides the sanitizers' findings it stops on broken promises:
// a layout that reaches past the file, a decoded picture of another size
// than its header gave, a texture rewritten over its own layout that reads
// back differently.
#include "bmp.h"
#include "png.h"
#include "quantise.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

void Texture(const std::uint8_t* data, std::size_t size) {
    TextureLayout l;
    std::string reason;
    if (!ReadTextureLayout(data, size, &l, &reason)) {
        Check(!reason.empty());
        return;
    }
    Check(l.width > 0 && l.height > 0 && l.pixelOffset <= size && l.trailing <= size);
    Image image;
    DecodeTexture(data, l, &image);
    Check(image.width == l.width && image.height == l.height);
    DescribeTexture(l);
    if (l.kind != KindIndexed8 || static_cast<std::uint64_t>(l.width) * l.height > 65536) return;
    // Every level rewritten as it was: the same bytes come back.
    std::vector<std::vector<std::uint8_t>> levels;
    for (int k = 0; k <= l.mipLevels; ++k) levels.push_back(ReadIndices(data, l, k));
    const std::string old(reinterpret_cast<const char*>(data), size);
    Check(WriteIndexedOver(old, l, ReadPalette(data, l), levels) == old);
}

void Png(const std::uint8_t* data, std::size_t size) {
    Image image;
    std::string reason;
    if (!DecodePng(data, size, &image, &reason)) {
        Check(!reason.empty());
        return;
    }
    Check(image.width > 0 && image.height > 0 && image.width <= kMaxPngSide && image.height <= kMaxPngSide);
    if (image.width * image.height > 4096) return;  // the quantiser's speed is the benchmark's business
    const Quantised q = Quantise(image, 16, true, (size & 1) != 0);
    for (std::uint8_t i : q.indices) Check(i < q.palette.size() / 4);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') Texture(data, size);
    else Png(data, size);
    return 0;
}
