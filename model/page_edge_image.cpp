#include "page_edge_image.h"

#include <algorithm>
#include <cmath>

#include "book_cover.h"

std::vector<float> PageEdgeShades()
{
    // Leaves of kLeafTexels each: a leaf's edge a little lighter or darker than the next (each
    // catches the light at its own slight tilt), a thin darker line where two leaves meet,
    // and the block a little darker toward its covers. Seen from afar the lines average out.
    constexpr unsigned kLeafTexels = 8;
    std::vector<float> shades(kPageTexels);
    unsigned int seed = 0x9E3779B9u;
    float leaf = 1.0f;
    for (unsigned i = 0; i < kPageTexels; ++i) {
        seed = seed * 1664525u + 1013904223u;  // a fixed sequence: every picture the same
        const float random = static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
        if (i % kLeafTexels == 0)
            leaf = 0.95f + 0.05f * random;
        const float grain = 0.985f + 0.015f * random;
        const float gap = i % kLeafTexels == kLeafTexels - 1 ? 0.8f : 1.0f;
        const float t = (static_cast<float>(i) + 0.5f) / kPageTexels;
        const float nearCover = std::exp(-t / 0.03f) + std::exp(-(1 - t) / 0.03f);
        shades[i] = leaf * grain * gap * (1.0f - 0.14f * nearCover);
    }
    return shades;
}

uint32_t PaperTexel(Colour paper, float shade)
{
    auto channel = [&](uint8_t c) { return static_cast<uint32_t>(std::lround(std::min(255.0f, c * shade))); };
    return 0xFF000000u | channel(RedOf(paper)) << 16 | channel(GreenOf(paper)) << 8 | channel(BlueOf(paper));
}

DecodedImage PageEdgeImage(int paper, bool bAcross)
{
    const std::vector<float> shades = PageEdgeShades();
    const Colour colour = PaperOf(paper).edgeColour;
    DecodedImage image;
    image.width = bAcross ? kPageTexels : kAlongTexels;
    image.height = bAcross ? kAlongTexels : kPageTexels;
    for (unsigned y = 0; y < image.height; ++y)
        for (unsigned x = 0; x < image.width; ++x)
            image.pixels.push_back(PaperTexel(colour, shades[bAcross ? x : y]));
    return image;
}
