// The one file that compiles the stb image libraries: PNG only, from and to
// memory (our own file code does the reading and writing).
#include "png.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"  // the decoders of other formats stb leaves in
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include <stb_image.h>
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#include <climits>
#include <cstring>

bool DecodePng(const std::uint8_t* data, std::size_t size, Image* out, std::string* reason) {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 || std::memcmp(data, kSignature, 8) != 0) {
        *reason = "not a PNG file";
        return false;
    }
    if (size > static_cast<std::size_t>(INT_MAX)) {
        *reason = "too large a file";
        return false;
    }
    // The size from the IHDR chunk, which must come first: refused before
    // stb is asked anything.
    auto be32 = [&](std::size_t at) {
        return (std::uint32_t(data[at]) << 24) | (std::uint32_t(data[at + 1]) << 16) | (std::uint32_t(data[at + 2]) << 8) |
               data[at + 3];
    };
    if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) {
        *reason = "a damaged PNG (no header)";
        return false;
    }
    const std::uint32_t headerWidth = be32(16), headerHeight = be32(20);
    if (headerWidth == 0 || headerHeight == 0 || headerWidth > kMaxPngSide || headerHeight > kMaxPngSide) {
        *reason = "its header gives " + std::to_string(headerWidth) + " x " + std::to_string(headerHeight) +
                  " pixels (at most " + std::to_string(kMaxPngSide) + " x " + std::to_string(kMaxPngSide) + " are read)";
        return false;
    }
    // Every chunk must lie inside the file: stb sizes its buffer from a
    // chunk's stated length before it looks for the bytes.
    for (std::size_t at = 8;;) {
        if (size - at < 12 || be32(at) > size - at - 12) {
            *reason = "a damaged PNG (cut short, or a chunk longer than the file)";
            return false;
        }
        const bool end = std::memcmp(data + at + 4, "IEND", 4) == 0;
        at += 12 + be32(at);
        if (end) break;
    }
    int w = 0, h = 0, channels = 0;
    const int length = static_cast<int>(size);
    if (!stbi_info_from_memory(data, length, &w, &h, &channels)) {
        *reason = std::string("a damaged PNG (") + stbi_failure_reason() + ")";
        return false;
    }
    unsigned char* pixels = stbi_load_from_memory(data, length, &w, &h, &channels, 4);
    if (!pixels) {
        *reason = std::string("a damaged PNG (") + stbi_failure_reason() + ")";
        return false;
    }
    *out = Image(w, h);
    std::memcpy(out->rgba.data(), pixels, out->rgba.size());
    stbi_image_free(pixels);
    return true;
}

namespace {

void Append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

} // namespace

std::string EncodePng(const Image& image, bool alpha) {
    std::string out;
    if (alpha) {
        stbi_write_png_to_func(Append, &out, image.width, image.height, 4, image.rgba.data(), image.width * 4);
        return out;
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(image.width) * image.height * 3);
    for (std::size_t i = 0, n = rgb.size() / 3; i < n; ++i) std::memcpy(&rgb[3 * i], &image.rgba[4 * i], 3);
    stbi_write_png_to_func(Append, &out, image.width, image.height, 3, rgb.data(), image.width * 3);
    return out;
}
