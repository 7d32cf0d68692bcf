// A book lying open on its boards (or card), its spread facing up: each half's pages rise
// steeply out of the gutter, lie flat across the middle and lift a little at the fore-edge,
// the spread picture laid along the paper's length so that nothing stretches. Its left
// board is the front cover, its right the back.
#pragma once
#include <vector>

#include "decoded_image.h"
#include "shapes.h"

extern const ShapeRow g_openBookShape;

// One half's top page seen end on, from the gutter out: where it lies (inches from the
// gutter, and up from the board) at each arc length along the paper, and its slope.
struct PageCurvePoint {
    float arc, x, rise, slope;  // slope: radians above level, rising away from the gutter
};
// The top page of a half whose pages are `thickness` deep, the paper `width` long.
std::vector<PageCurvePoint> PageCurve(float width, float thickness);

// The inside margin printers ask for at a book's gutter, inches, by its page count: what an
// open book's pages bend out of sight.
double GutterMargin(int pages);
// Whether a spread picture (of an open book of these values) has artwork, anything but its
// plain paper, within the gutter's margin of its middle.
bool ArtworkInGutter(const DecodedImage& spread, const int* values);
