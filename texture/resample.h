// Changing a picture's size: a proper filter for --resize, and the halving
// that makes each mip level from the one above.
#pragma once
#include "image.h"

// `image` resampled to width x height with a Lanczos filter of three lobes,
// widened when shrinking so every source pixel counts. Colours are weighted
// by their alpha, so transparent pixels lend no colour to their neighbours.
Image Resample(const Image& image, int width, int height);

// The next mip level: each pixel the alpha-weighted mean of the 2 x 2 (or
// 2 x 1 once a side is 1) pixels above it.
Image Halve(const Image& image);
