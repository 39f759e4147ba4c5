// The demo's paint program: what `make demo` and the benchmarks paint onto
// an exported texture. Not part of the product.
#pragma once
#include "image.h"

// Paints a roundel (blue, white, red rings) and a soft-edged yellow stripe
// onto `image`, with shading across the stripe. Edges are anti-aliased, so
// the picture gains many colours its texture's palette lacks.
void PaintDemo(Image* image);

// A smooth picture of about 65,000 colours: red across, green down, blue
// along the diagonal.
Image Gradient(int width, int height);
