// The paper edges of a page block: many fine leaves of the paper's colour, each a little
// lighter or darker than the next with a thin dark line between them, the block a little
// darker toward its covers. The preview's texture and a 3D model's picture are both made
// from this.
#pragma once

#include <vector>

#include "colour_value.h"
#include "decoded_image.h"

constexpr unsigned kPageTexels = 1024;  // across the pages
constexpr unsigned kAlongTexels = 4;    // along them: the same all the way

// How light each of kPageTexels rows of pages is, 0..1, the same every time.
std::vector<float> PageEdgeShades();
// The paper's colour at that shade, 0xAARRGGBB.
uint32_t PaperTexel(Colour paper, float shade);
// The whole picture: pages stacked down it, or across it (bAcross).
DecodedImage PageEdgeImage(int paper, bool bAcross);
