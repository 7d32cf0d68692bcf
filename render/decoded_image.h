// A picture decoded into memory as 32-bit BGRA rows, top row first, ready for a texture.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

struct DecodedImage {
    UINT width = 0;
    UINT height = 0;
    std::vector<uint32_t> pixels;  // width * height, 0xAARRGGBB
};

// Pictures larger than this on either side, or with more pixels in all, are refused before
// anything is allocated: no real artwork is that large, a broken or hostile header is.
constexpr UINT kMaxImageSide = 32768;
constexpr unsigned long long kMaxImagePixels = 1ull << 28;  // 16384 x 16384

inline bool IsPlausibleImageSize(UINT width, UINT height)
{
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           static_cast<unsigned long long>(width) * height <= kMaxImagePixels;
}

// The size a picture is decoded to: its own, or scaled down (keeping its proportions) so
// that neither side exceeds maxSide.
void FitWithin(UINT width, UINT height, UINT maxSide, UINT* pOutWidth, UINT* pOutHeight);
