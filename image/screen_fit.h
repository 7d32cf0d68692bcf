// A device screen's picture as the screen shows it: the user's picture fitted to the
// screen's proportions, whole with bars round it or cropped to fill it, and on an
// e-reader's ink turned to its greys. The preview and the 3D model file both show this.
#pragma once
#include <cstdint>

#include "decoded_image.h"

struct ScreenFit {
    float aspect = 1;             // the screen's width over its height
    bool bCrop = false;           // cover: cropped to fill; else contained with bars
    uint32_t bars = 0xFF000000u;  // 0xAARRGGBB round a contained picture (ink: its paper instead)
    bool bInk = false;            // an e-reader's: greys between its ink and its paper
    bool bColourInk = false;      // with bInk: colour ink, the colours muted toward those greys
    unsigned maxSide = 4096;      // the result is shrunk to fit this (0: never)
};

DecodedImage FitToScreen(const DecodedImage& picture, const ScreenFit& fit);

// An e-reader's paper (r, g, b): its screen with nothing drawn on it, and the lightest its ink shows.
constexpr unsigned char kInkPaper[3] = {222, 222, 214};

// The e-reader's grey for a colour: its lightness between the ink's black and the paper's grey.
uint32_t InkOf(uint32_t argb);
// Colour ink's: the colour halfway to its grey.
uint32_t MutedInk(uint32_t argb);
