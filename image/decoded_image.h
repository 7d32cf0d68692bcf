// A picture decoded into memory as 32-bit BGRA rows, top row first, ready for a texture.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct DecodedImage {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<uint32_t> pixels;  // width * height, 0xAARRGGBB
};

// Pictures larger than this on either side, or with more pixels in all, are refused before
// anything is allocated. The platform's decoder holds a whole picture in memory whatever we
// ask of it: 16384 x 16384 took 0.9 GB and 6 s, 8192 x 8192 0.3 GB and 1.4 s. A face keeps
// up to 8192 pixels a side, as large as a picture is drawn with it.
constexpr unsigned kMaxImageSide = 32768;
constexpr unsigned long long kMaxImagePixels = 1ull << 26;  // 8192 x 8192

inline bool IsPlausibleImageSize(unsigned width, unsigned height)
{
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           static_cast<unsigned long long>(width) * height <= kMaxImagePixels;
}

// The size a picture is decoded to: its own, or scaled down (keeping its proportions) so
// that neither side exceeds maxSide (0: its own whatever its size).
void FitWithin(unsigned width, unsigned height, unsigned maxSide, unsigned* pOutWidth, unsigned* pOutHeight);

// Makes pixels opaque as if drawn over white: where artwork is transparent the face's
// colour (which multiplies the picture) shows, and half-transparent edges blend into it.
// Opaque pixels are unchanged.
inline void CompositeOverWhite(uint32_t* pPixels, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        uint32_t c = pPixels[i];
        uint32_t a = c >> 24;
        if (a == 255)
            continue;
        uint32_t out = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            uint32_t v = (c >> shift) & 0xFF;
            out |= ((v * a + 255 * (255 - a) + 127) / 255) << shift;
        }
        pPixels[i] = out;
    }
}
