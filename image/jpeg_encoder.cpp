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

HRESULT EncodeJpeg(const DecodedImage& image, int quality, int dpi, std::vector<BYTE>* pBytes)
{
    if (image.width == 0 || image.height == 0 || image.pixels.size() != static_cast<size_t>(image.width) * image.height ||
        image.width > 65535 || image.height > 65535)
        return E_INVALIDARG;
    std::vector<BYTE> rgb;
    try {
        rgb.resize(image.pixels.size() * 3);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint32_t c = image.pixels[i];
        rgb[i * 3 + 0] = static_cast<BYTE>(c >> 16);
        rgb[i * 3 + 1] = static_cast<BYTE>(c >> 8);
        rgb[i * 3 + 2] = static_cast<BYTE>(c);
    }
    pBytes->clear();
    if (!stbi_write_jpg_to_func(&Append, pBytes, static_cast<int>(image.width), static_cast<int>(image.height), 3,
                                rgb.data(), std::clamp(quality, 1, 100)))
        return E_FAIL;
    // The JFIF header the encoder writes first says "no units, 1:1"; the resolution for
    // print goes there (units: dots per inch).
    static const BYTE kJfif[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};
    if (dpi > 0 && pBytes->size() > 20 && std::equal(kJfif, kJfif + sizeof kJfif, pBytes->begin())) {
        const BYTE hi = static_cast<BYTE>(dpi >> 8), lo = static_cast<BYTE>(dpi);
        BYTE* p = pBytes->data();
        p[13] = 1;
        p[14] = hi;
        p[15] = lo;
        p[16] = hi;
        p[17] = lo;
    }
    return S_OK;
}
