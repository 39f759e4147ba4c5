// paint-demo PNG: paints a roundel and a stripe onto the PNG, in place, as
// a player would in a paint program; `make demo` runs it on an exported texture.
#include "demo_paint.h"
#include "png.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: paint-demo PNG\nPaints a roundel and a stripe onto PNG, in place.\n", stderr);
        return 64;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Image image;
    std::string reason;
    if (!DecodePng(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &image, &reason)) {
        std::fprintf(stderr, "paint-demo: %s: %s\n", argv[1], reason.c_str());
        return 1;
    }
    const bool alpha = !image.Opaque();
    PaintDemo(&image);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << EncodePng(image, alpha);
    if (!out.flush()) {
        std::fprintf(stderr, "paint-demo: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
