#include "screen_fit.h"

#include <algorithm>
#include <cmath>

#include "image_resample.h"

namespace {
constexpr float kInk = 40;  // an e-reader's darkest
}

uint32_t InkOf(uint32_t argb)
{
    const float r = static_cast<float>((argb >> 16) & 0xFF), g = static_cast<float>((argb >> 8) & 0xFF),
                b = static_cast<float>(argb & 0xFF);
    const float lightness = (0.2126f * r + 0.7152f * g + 0.0722f * b) / 255;
    uint32_t out = argb & 0xFF000000u;
    for (int c = 0; c < 3; ++c)
        out |= static_cast<uint32_t>(std::lround(kInk + lightness * (kInkPaper[c] - kInk))) << (16 - 8 * c);
    return out;
}

uint32_t MutedInk(uint32_t argb)
{
    // Colour ink under its filter: half the colour, half the grey it would be.
    const uint32_t grey = InkOf(argb);
    uint32_t out = argb & 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= ((((argb >> shift) & 0xFF) + ((grey >> shift) & 0xFF) + 1) / 2) << shift;
    return out;
}

DecodedImage FitToScreen(const DecodedImage& picture, const ScreenFit& fit)
{
    DecodedImage out;
    if (!picture.width || !picture.height || !(fit.aspect > 0))
        return out;
    const double own = static_cast<double>(picture.width) / picture.height;
    // The canvas at the picture's own resolution: as wide as it with bars above and below, or
    // as tall with bars beside (contain); the picture's middle at the screen's shape (crop).
    const bool bWider = own > fit.aspect;
    unsigned w, h;
    if (bWider != fit.bCrop)
        w = picture.width, h = static_cast<unsigned>(std::max(1.0, std::round(picture.width / static_cast<double>(fit.aspect))));
    else
        h = picture.height, w = static_cast<unsigned>(std::max(1.0, std::round(picture.height * static_cast<double>(fit.aspect))));
    if (fit.maxSide && std::max(w, h) > fit.maxSide) {
        // Shrunk first, so that a tall screen round a large picture never holds its bars at
        // the picture's own resolution.
        const double scale = static_cast<double>(fit.maxSide) / std::max(w, h);
        const unsigned pw = std::max(1u, static_cast<unsigned>(picture.width * scale));
        const unsigned ph = std::max(1u, static_cast<unsigned>(picture.height * scale));
        return FitToScreen(ResampleImage(picture, pw, ph, true), fit);
    }
    out.width = w, out.height = h;
    // Ink draws nothing in the bars: they are the blank paper (white, turned to its grey below).
    out.pixels.assign(static_cast<size_t>(w) * h, fit.bInk ? 0xFFFFFFFFu : fit.bars | 0xFF000000u);
    // Where the picture's corner lands on the canvas (negative: cropped off).
    const long dx = (static_cast<long>(w) - static_cast<long>(picture.width)) / 2;
    const long dy = (static_cast<long>(h) - static_cast<long>(picture.height)) / 2;
    for (unsigned y = 0; y < h; ++y) {
        const long sy = static_cast<long>(y) - dy;
        if (sy < 0 || sy >= static_cast<long>(picture.height))
            continue;
        const long x0 = std::max(0L, dx), x1 = std::min(static_cast<long>(w), dx + static_cast<long>(picture.width));
        for (long x = x0; x < x1; ++x) {
            const uint32_t c = picture.pixels[static_cast<size_t>(sy) * picture.width + static_cast<size_t>(x - dx)];
            const uint32_t a = c >> 24;
            uint32_t& o = out.pixels[static_cast<size_t>(y) * w + static_cast<size_t>(x)];
            if (a == 255) {
                o = c;
                continue;
            }
            // A transparent picture shows the bars' colour through it: a screen is opaque.
            uint32_t mixed = 0xFF000000u;
            for (int shift = 0; shift <= 16; shift += 8) {
                const uint32_t front = (c >> shift) & 0xFF, back = (o >> shift) & 0xFF;
                mixed |= ((front * a + back * (255 - a) + 127) / 255) << shift;
            }
            o = mixed;
        }
    }
    if (fit.bInk)
        for (uint32_t& p : out.pixels)
            p = fit.bColourInk ? MutedInk(p) : InkOf(p);
    return out;
}
