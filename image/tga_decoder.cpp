#include "tga_decoder.h"

#include <algorithm>

#include <cstring>

#include "file_open.h"
#include "image_resample.h"

namespace {

constexpr size_t kHeaderSize = 18;
constexpr size_t kMaxFileBytes = size_t{1} << 30;

uint16_t Read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// One stored pixel (or colour-map entry) of the given depth as 0xAARRGGBB.
uint32_t ToBgra(const unsigned char* p, UINT bits, bool grey, bool hasAlpha)
{
    if (grey) {
        uint32_t v = p[0];
        uint32_t a = bits == 16 ? p[1] : 0xFF;
        return (a << 24) | (v << 16) | (v << 8) | v;
    }
    switch (bits) {
    case 15:
    case 16: {
        uint16_t v = Read16(p);
        auto expand = [](uint32_t c) { return (c << 3) | (c >> 2); };
        uint32_t a = (bits == 16 && hasAlpha) ? ((v & 0x8000) ? 0xFF : 0) : 0xFF;
        return (a << 24) | (expand((v >> 10) & 31) << 16) | (expand((v >> 5) & 31) << 8) | expand(v & 31);
    }
    case 24:
        return 0xFF000000u | (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
    default: {
        uint32_t a = hasAlpha ? p[3] : 0xFFu;
        return (a << 24) | (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
    }
    }
}

} // namespace

HRESULT DecodeTgaMemory(const unsigned char* pData, size_t nSize, DecodedImage& out)
{
    if (nSize < kHeaderSize)
        return E_FAIL;
    const unsigned char* h = pData;
    UINT idLength = h[0], colourMapType = h[1], imageType = h[2];
    UINT mapFirst = Read16(h + 3), mapLength = Read16(h + 5), mapBits = h[7];
    UINT width = Read16(h + 12), height = Read16(h + 14), bits = h[16], descriptor = h[17];
    bool rle = imageType >= 9;
    UINT baseType = rle ? imageType - 8 : imageType;
    bool mapped = baseType == 1, grey = baseType == 3;
    bool hasAlpha = (descriptor & 0x0F) != 0;

    if (baseType < 1 || baseType > 3 || !IsPlausibleImageSize(width, height))
        return E_FAIL;
    if (mapped ? (bits != 8 || colourMapType != 1 || mapLength == 0)
               : grey ? (bits != 8 && bits != 16) : (bits != 15 && bits != 16 && bits != 24 && bits != 32))
        return E_FAIL;
    if (colourMapType == 1 && mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
        return E_FAIL;

    size_t offset = kHeaderSize + idLength;
    size_t mapEntryBytes = colourMapType == 1 ? (mapBits + 7) / 8 : 0;
    std::vector<uint32_t> colourMap;
    if (colourMapType == 1) {
        if (offset + mapEntryBytes * mapLength > nSize)
            return E_FAIL;
        for (UINT i = 0; i < mapLength; ++i)
            colourMap.push_back(ToBgra(pData + offset + i * mapEntryBytes, mapBits, false, mapBits == 32 && hasAlpha));
        offset += mapEntryBytes * mapLength;
    }

    const size_t pixelBytes = (bits + 7) / 8;
    const size_t pixelCount = static_cast<size_t>(width) * height;
    const size_t available = nSize - std::min(offset, nSize);
    // Enough data for the claimed size? A run packet carries at most 128 pixels.
    if (rle ? available < pixelCount / 128 : available < pixelCount * pixelBytes)
        return E_FAIL;

    auto decodePixel = [&](const unsigned char* p) -> uint32_t {
        if (mapped) {
            UINT index = p[0];
            return index >= mapFirst && index - mapFirst < colourMap.size() ? colourMap[index - mapFirst] : 0xFF000000u;
        }
        return ToBgra(p, bits, grey, hasAlpha);
    };

    std::vector<uint32_t> stored(pixelCount);  // in file order
    const unsigned char* p = pData + offset;
    const unsigned char* end = pData + nSize;
    for (size_t i = 0; i < pixelCount;) {
        if (!rle) {
            stored[i++] = decodePixel(p);
            p += pixelBytes;
            continue;
        }
        if (p >= end)
            return E_FAIL;
        UINT header = *p++;
        size_t count = (header & 0x7F) + 1;
        if (count > pixelCount - i)
            return E_FAIL;
        if (header & 0x80) {
            if (p + pixelBytes > end)
                return E_FAIL;
            uint32_t v = decodePixel(p);
            p += pixelBytes;
            for (size_t k = 0; k < count; ++k)
                stored[i++] = v;
        } else {
            if (p + pixelBytes * count > end)
                return E_FAIL;
            for (size_t k = 0; k < count; ++k, p += pixelBytes)
                stored[i++] = decodePixel(p);
        }
    }

    // Rows are stored bottom-up unless the descriptor says top-down; columns may run right to left.
    bool topDown = (descriptor & 0x20) != 0, rightToLeft = (descriptor & 0x10) != 0;
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(pixelCount);
    for (UINT y = 0; y < height; ++y) {
        const uint32_t* src = &stored[static_cast<size_t>(topDown ? y : height - 1 - y) * width];
        uint32_t* dst = &image.pixels[static_cast<size_t>(y) * width];
        for (UINT x = 0; x < width; ++x)
            dst[x] = src[rightToLeft ? width - 1 - x : x];
    }
    out = std::move(image);
    return S_OK;
}

HRESULT DecodeTga(LPCWSTR pszPath, UINT maxSide, DecodedImage& out)
{
    HANDLE hFile = OpenFileToRead(pszPath);
    if (hFile == INVALID_HANDLE_VALUE)
        return HRESULT_FROM_WIN32(::GetLastError());
    // The header first: only as much of the file is read as a TGA of its size can use (its
    // name, palette and pixels, run-length coded at worst), never a whole file of another kind.
    LARGE_INTEGER size = {};
    std::vector<unsigned char> data(18);
    DWORD read = 0;
    bool ok = ::GetFileSizeEx(hFile, &size) && size.QuadPart >= 18 &&
              ::ReadFile(hFile, data.data(), 18, &read, nullptr) && read == 18;
    const UINT width = data[12] | (data[13] << 8), height = data[14] | (data[15] << 8);
    ok = ok && IsPlausibleImageSize(width, height);
    if (ok) {
        const unsigned long long needed =
            18ull + 255 + 65536ull * 4 + static_cast<unsigned long long>(width) * height * 5 + 4096;
        const size_t take = static_cast<size_t>(std::min<unsigned long long>(
            {static_cast<unsigned long long>(size.QuadPart), needed, kMaxFileBytes}));
        data.resize(take);
        ok = take == 18 || (::ReadFile(hFile, data.data() + 18, static_cast<DWORD>(take - 18), &read, nullptr) &&
                            read == take - 18);
    }
    ::CloseHandle(hFile);
    if (!ok)
        return E_FAIL;

    DecodedImage full;
    HRESULT hr = DecodeTgaMemory(data.data(), data.size(), full);
    if (FAILED(hr))
        return hr;
    UINT w = 0, h = 0;
    FitWithin(full.width, full.height, maxSide, &w, &h);
    CompositeOverWhite(full.pixels.data(), full.pixels.size());
    out = ResampleImage(full, w, h);
    return S_OK;
}
