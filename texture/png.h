// PNG files in and out, through stb_image and stb_image_write.
#pragma once
#include "image.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The largest picture read: eight times the largest texture's side, a
// painting at a paint program's working size. Larger headers are refused
// before any pixel is decoded.
constexpr int kMaxPngSide = 2048;

// Decodes the PNG `data` to RGBA (grey, palette, 16 bits a channel and
// interlaced files included). False with `reason` for a file that is not a
// PNG, is damaged, or whose header gives a size of 0 or above kMaxPngSide.
bool DecodePng(const std::uint8_t* data, std::size_t size, Image* out, std::string* reason);

// The PNG bytes of `image`: RGBA when `alpha`, else RGB. Deterministic.
std::string EncodePng(const Image& image, bool alpha);
