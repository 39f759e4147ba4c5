// Reducing a picture to a palette of at most 256 colours, and measuring
// what the reduction cost.
//
// The palette comes from a variance-minimising median cut over the
// picture's distinct colours (each box cut where the summed squared error of
// its two halves is least, along its widest channel), refined by k-means
// passes. Integer arithmetic throughout, so the same picture gives the same
// palette on every machine.
#pragma once
#include "image.h"

#include <cstdint>
#include <vector>

// Palettes are RGBA entries, 4 bytes each. Without `alpha` the alpha channel
// is left out of every choice and comparison, and entries get 255.

struct Quantised {
    std::vector<std::uint8_t> palette;  // up to maxColours entries
    std::vector<std::uint8_t> indices;  // one per pixel, rows top-down
    std::size_t distinct = 0;           // the picture's own colours
};

// `image` in at most `maxColours` (1-256) colours: its own when it has no
// more, else the quantiser's, mapped to the nearest (or with `dither`
// diffused, as MapToPalette).
Quantised Quantise(const Image& image, int maxColours, bool alpha, bool dither);

// The palette index of each pixel: the nearest entry, or with `dither`
// Floyd-Steinberg error diffusion of the colour channels (serpentine).
std::vector<std::uint8_t> MapToPalette(const Image& image, const std::vector<std::uint8_t>& palette, bool alpha,
                                       bool dither);

// What a reduction changed, per channel (red, green, blue, alpha).
struct ColourError {
    double mean[4] = {0, 0, 0, 0};  // mean absolute difference
    int max[4] = {0, 0, 0, 0};      // largest absolute difference
    double psnr = 0;                // over the channels compared; 0 when nothing changed
    bool exact = true;
};
ColourError MeasureError(const Image& original, const std::vector<std::uint8_t>& indices,
                         const std::vector<std::uint8_t>& palette, bool alpha);
