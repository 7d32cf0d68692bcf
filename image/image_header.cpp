#include "image_header.h"

#include <cwchar>
#include <vector>

namespace {

UINT Be16(const unsigned char* p) { return (p[0] << 8) | p[1]; }
UINT Be32(const unsigned char* p) { return (UINT(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }
UINT Le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
INT Le32(const unsigned char* p) { return static_cast<INT>(p[0] | (p[1] << 8) | (p[2] << 16) | (UINT(p[3]) << 24)); }

// JPEG: the frame header (SOFn) follows any number of other segments.
bool ParseJpeg(const unsigned char* p, size_t n, ImageHeader& h)
{
    size_t i = 2;
    while (i + 4 <= n) {
        if (p[i] != 0xFF)
            return false;
        unsigned char marker = p[i + 1];
        if (marker == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            i += 2;
            continue;
        }
        size_t length = Be16(p + i + 2);
        bool bFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (bFrame) {
            if (i + 9 > n)
                return false;
            h.height = Be16(p + i + 5);
            h.width = Be16(p + i + 7);
            return true;
        }
        if (length < 2)
            return false;
        i += 2 + length;
    }
    return false;
}

} // namespace

ImageHeader ParseImageHeader(const unsigned char* p, size_t n, bool bTgaName)
{
    ImageHeader h;
    h.bReadable = true;
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (n >= 24 && memcmp(p, kPng, 8) == 0) {
        h.kind = ImageKind::Png;
        h.width = Be32(p + 16);
        h.height = Be32(p + 20);
    } else if (n >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) {
        h.kind = ImageKind::Jpeg;
        ParseJpeg(p, n, h);
    } else if (n >= 26 && p[0] == 'B' && p[1] == 'M') {
        h.kind = ImageKind::Bmp;
        if (Le32(p + 14) == 12) {  // OS/2 core header: 16-bit sizes
            h.width = Le16(p + 18);
            h.height = Le16(p + 20);
        } else {
            INT w = Le32(p + 18), ht = Le32(p + 22);
            h.width = w > 0 ? static_cast<UINT>(w) : 0;
            h.height = ht == INT(0x80000000) ? 0 : static_cast<UINT>(ht < 0 ? -ht : ht);  // negative: top row first
        }
    } else if (n >= 10 && memcmp(p, "GIF8", 4) == 0) {
        h.kind = ImageKind::Gif;
        h.width = Le16(p + 6);
        h.height = Le16(p + 8);
    } else if (bTgaName && n >= 18) {
        unsigned char type = p[2];
        if (type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11) {
            h.kind = ImageKind::Tga;
            h.width = Le16(p + 12);
            h.height = Le16(p + 14);
        }
    }
    return h;
}

ImageHeader ReadImageHeader(LPCWSTR pszPath)
{
    ImageHeader h;
    HANDLE hFile = ::CreateFileW(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return h;
    // Enough for the segments a camera puts before a JPEG's frame header.
    std::vector<unsigned char> head(256 * 1024);
    DWORD got = 0;
    BOOL ok = ::ReadFile(hFile, head.data(), static_cast<DWORD>(head.size()), &got, nullptr);
    ::CloseHandle(hFile);
    if (!ok)
        return h;
    return ParseImageHeader(head.data(), got, HasTgaName(pszPath));
}

bool HasTgaName(LPCWSTR pszPath)
{
    size_t n = wcslen(pszPath);
    return n >= 4 && ::CompareStringOrdinal(pszPath + n - 4, 4, L".tga", 4, TRUE) == CSTR_EQUAL;
}
