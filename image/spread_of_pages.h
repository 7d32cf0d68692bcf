// An open book's spread put together from its two page pictures: the left page's beside the
// right's, at one height (a page missing is plain paper). The preview and the 3D model file
// both show this where a book has page pictures instead of a spread.
#pragma once
#include <cstdint>

#include "decoded_image.h"

// left, right: either may be null (not both). paper: 0xAARRGGBB where a page is missing.
// maxWidth: the spread is shrunk to fit it.
DecodedImage SpreadOfPages(const DecodedImage* left, const DecodedImage* right, uint32_t paper, unsigned maxWidth = 8192);
