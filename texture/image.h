// An 8-bit RGBA picture held in memory: the one form every texture and PNG
// passes through between reading and writing.
#pragma once
#include <cstdint>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // rows top-down, 4 bytes a pixel

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4, 0) {}
    std::uint8_t* At(int x, int y) { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
    const std::uint8_t* At(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
    bool Opaque() const {
        for (std::size_t i = 3; i < rgba.size(); i += 4)
            if (rgba[i] != 255) return false;
        return true;
    }
};
