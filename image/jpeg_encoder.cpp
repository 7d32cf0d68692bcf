#include "jpeg_encoder.h"

#include <algorithm>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wcast-qual"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"
#pragma GCC diagnostic pop

namespace {

void Append(void* pContext, void* pData, int size)
{
    auto* pBytes = static_cast<std::vector<BYTE>*>(pContext);
    const auto* p = static_cast<const BYTE*>(pData);
    pBytes->insert(pBytes->end(), p, p + size);
}

} // namespace

HRESULT EncodeJpegRgb(const BYTE* pRgb, UINT width, UINT height, int quality, int dpi, std::vector<BYTE>* pBytes)
{
    if (width == 0 || height == 0 || width > 65535 || height > 65535)
        return E_INVALIDARG;
    pBytes->clear();
    if (!stbi_write_jpg_to_func(&Append, pBytes, static_cast<int>(width), static_cast<int>(height), 3, pRgb,
                                std::clamp(quality, 1, 100)))
        return E_FAIL;
    // The JFIF header the encoder writes first says "no units, 1:1"; the resolution for
    // print goes there (units: dots per inch).
    static const BYTE kJfif[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};
    constexpr size_t kJfifEnd = 20;
    if (pBytes->size() <= kJfifEnd || !std::equal(kJfif, kJfif + sizeof kJfif, pBytes->begin()))
        return E_FAIL;
    if (dpi > 0) {
        const BYTE hi = static_cast<BYTE>(dpi >> 8), lo = static_cast<BYTE>(dpi);
        BYTE* p = pBytes->data();
        p[13] = 1;
        p[14] = hi;
        p[15] = lo;
        p[16] = hi;
        p[17] = lo;
    }
    // The colours are sRGB: said as cameras say it, by Exif's colour space tag (1, sRGB),
    // in an Exif segment after the JFIF header.
    static const BYTE kExifSrgb[] = {
        0xFF, 0xE1, 0x00, 52, 'E', 'x', 'i', 'f', 0, 0,
        'M', 'M', 0, 42, 0, 0, 0, 8,                            // TIFF header, big-endian, IFD0 at 8
        0, 1, 0x87, 0x69, 0, 4, 0, 0, 0, 1, 0, 0, 0, 26,        // IFD0: the Exif IFD is at 26
        0, 0, 0, 0,
        0, 1, 0xA0, 0x01, 0, 3, 0, 0, 0, 1, 0, 1, 0, 0,         // Exif IFD: ColorSpace = 1
        0, 0, 0, 0};
    static_assert(sizeof kExifSrgb == 2 + 52, "the segment's length counts itself, not its marker");
    pBytes->insert(pBytes->begin() + kJfifEnd, kExifSrgb, kExifSrgb + sizeof kExifSrgb);
    return S_OK;
}

void PackRgb(const uint32_t* pPixels, size_t count, BYTE* pRgb)
{
    for (size_t i = 0; i < count; ++i) {
        const uint32_t c = pPixels[i];
        pRgb[i * 3 + 0] = static_cast<BYTE>(c >> 16);
        pRgb[i * 3 + 1] = static_cast<BYTE>(c >> 8);
        pRgb[i * 3 + 2] = static_cast<BYTE>(c);
    }
}

HRESULT EncodeJpeg(const DecodedImage& image, int quality, int dpi, std::vector<BYTE>* pBytes)
{
    if (image.pixels.size() != static_cast<size_t>(image.width) * image.height)
        return E_INVALIDARG;
    std::vector<BYTE> rgb;
    try {
        rgb.resize(image.pixels.size() * 3);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    PackRgb(image.pixels.data(), image.pixels.size(), rgb.data());
    return EncodeJpegRgb(rgb.data(), image.width, image.height, quality, dpi, pBytes);
}
