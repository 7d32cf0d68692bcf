#include "image_header.h"

#include "file_open.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace {

UINT Be16(const unsigned char* p) { return (p[0] << 8) | p[1]; }
UINT Be32(const unsigned char* p) { return (UINT(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }
UINT Le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
INT Le32(const unsigned char* p) { return static_cast<INT>(p[0] | (p[1] << 8) | (p[2] << 16) | (UINT(p[3]) << 24)); }

// Bytes at any offset of a file or of memory; a file is read in blocks, so walking many
// small structures (a GIF's sub-blocks) costs few reads.
class Source {
public:
    Source(const unsigned char* p, size_t n) : m_pMemory(p), m_size(n) {}
    explicit Source(HANDLE hFile) : m_hFile(hFile)
    {
        LARGE_INTEGER size = {};
        m_size = ::GetFileSizeEx(hFile, &size) ? static_cast<unsigned long long>(size.QuadPart) : 0;
    }
    unsigned long long Size() const { return m_size; }

    // Exactly n bytes at `at`, or false.
    bool Read(unsigned long long at, void* pOut, size_t n)
    {
        if (at > m_size || n > m_size - at)
            return false;
        if (m_pMemory) {
            std::memcpy(pOut, m_pMemory + at, n);
            return true;
        }
        auto* out = static_cast<unsigned char*>(pOut);
        while (n > 0) {
            if (at < m_blockAt || at >= m_blockAt + m_block.size()) {
                m_block.resize(kBlock);
                LARGE_INTEGER pos;
                pos.QuadPart = static_cast<LONGLONG>(at);
                DWORD got = 0;
                if (!::SetFilePointerEx(m_hFile, pos, nullptr, FILE_BEGIN) ||
                    !::ReadFile(m_hFile, m_block.data(), kBlock, &got, nullptr) || got == 0) {
                    m_block.clear();
                    return false;
                }
                m_block.resize(got);
                m_blockAt = at;
            }
            size_t offset = static_cast<size_t>(at - m_blockAt);
            size_t take = std::min(n, m_block.size() - offset);
            std::memcpy(out, m_block.data() + offset, take);
            out += take;
            at += take;
            n -= take;
        }
        return true;
    }
    bool Byte(unsigned long long at, unsigned char* p) { return Read(at, p, 1); }

private:
    static constexpr DWORD kBlock = 64 * 1024;
    const unsigned char* m_pMemory = nullptr;
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    unsigned long long m_size = 0;
    std::vector<unsigned char> m_block;
    unsigned long long m_blockAt = 0;
};

// JPEG: the frame header (SOFn) follows any number of other segments, however many and
// however long; every marker is walked up to it.
void ParseJpeg(Source& s, ImageHeader& h)
{
    unsigned long long i = 2;
    unsigned char m[9];
    while (s.Read(i, m, 2)) {
        if (m[0] != 0xFF)
            return;
        const unsigned char marker = m[1];
        if (marker == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            i += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)
            return;  // image data or the end before any frame header
        if (!s.Read(i, m, 4))
            return;
        const unsigned length = Be16(m + 2);
        const bool bFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (bFrame) {
            if (s.Read(i, m, 9)) {
                h.height = Be16(m + 5);
                h.width = Be16(m + 7);
            }
            return;
        }
        if (length < 2)
            return;
        i += 2 + length;
    }
}

// Sub-blocks (a size byte, then that many bytes) up to the empty one; the offset after it.
bool SkipSubBlocks(Source& s, unsigned long long* pAt)
{
    unsigned char size = 0;
    do {
        if (!s.Byte(*pAt, &size))
            return false;
        *pAt += 1 + size;
    } while (size != 0);
    return true;
}

// GIF: the logical screen, and the first frame's own place and size (a frame may be far
// larger than the screen it claims); where that frame ends, and whether another follows.
void ParseGif(Source& s, ImageHeader& h)
{
    unsigned char b[13];
    if (!s.Read(0, b, 13))
        return;
    UINT width = Le16(b + 6), height = Le16(b + 8);
    unsigned long long at = 13;
    if (b[10] & 0x80)
        at += 3ull << ((b[10] & 7) + 1);
    for (;;) {
        unsigned char kind = 0;
        if (!s.Byte(at, &kind))
            return;
        if (kind == 0x21) {  // extension: its label, then sub-blocks
            at += 2;
            if (!SkipSubBlocks(s, &at))
                return;
        } else if (kind == 0x2C) {  // the first frame
            unsigned char d[10];
            if (!s.Read(at, d, 10))
                return;
            width = std::max(width, Le16(d + 1) + Le16(d + 5));
            height = std::max(height, Le16(d + 3) + Le16(d + 7));
            at += 10;
            if (d[9] & 0x80)
                at += 3ull << ((d[9] & 7) + 1);
            at += 1;  // the LZW code size
            if (!SkipSubBlocks(s, &at))
                return;
            h.width = width;
            h.height = height;
            h.firstFrameEnd = at;
            unsigned char next = 0x3B;
            h.bMoreFrames = s.Byte(at, &next) && next != 0x3B;
            return;
        } else {
            return;  // the trailer, or not a GIF block: no frame
        }
    }
}

// ICO and CUR: a directory of pictures, each a BMP without its file header or a whole PNG;
// the largest of them is what may be decoded.
void ParseIco(Source& s, ImageHeader& h)
{
    unsigned char d[6];
    if (!s.Read(0, d, 6))
        return;
    const UINT count = Le16(d + 4);
    if (count == 0)
        return;
    UINT width = 0, height = 0;
    for (UINT k = 0; k < count; ++k) {
        unsigned char e[16], p[24];
        if (!s.Read(6 + 16ull * k, e, 16))
            return;
        const unsigned long long offset = static_cast<UINT>(Le32(e + 12));
        if (!s.Read(offset, p, 24))
            return;
        static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        UINT w = 0, ht = 0;
        if (std::memcmp(p, kPng, 8) == 0) {
            w = Be32(p + 16);
            ht = Be32(p + 20);
        } else {
            INT bw = Le32(p + 4), bh = Le32(p + 8);  // the height counts the mask too
            w = bw > 0 ? static_cast<UINT>(bw) : 0;
            ht = bh > 0 ? static_cast<UINT>(bh) / 2 : 0;
        }
        if (w == 0 || ht == 0)
            return;
        width = std::max(width, w);
        height = std::max(height, ht);
    }
    h.width = width;
    h.height = height;
}

ImageHeader Parse(Source& s, bool bTgaName)
{
    ImageHeader h;
    h.bReadable = true;
    unsigned char p[26] = {};
    const size_t n = static_cast<size_t>(std::min<unsigned long long>(s.Size(), sizeof(p)));
    if (!s.Read(0, p, n))
        return h;
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (n >= 24 && std::memcmp(p, kPng, 8) == 0) {
        h.kind = ImageKind::Png;
        h.width = Be32(p + 16);
        h.height = Be32(p + 20);
    } else if (n >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) {
        h.kind = ImageKind::Jpeg;
        ParseJpeg(s, h);
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
    } else if (n >= 10 && std::memcmp(p, "GIF8", 4) == 0) {
        h.kind = ImageKind::Gif;
        ParseGif(s, h);
    } else if (bTgaName && n >= 18) {
        // A TGA's first bytes can look like an icon's: its name decides.
        unsigned char type = p[2];
        if (type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11) {
            h.kind = ImageKind::Tga;
            h.width = Le16(p + 12);
            h.height = Le16(p + 14);
        }
    } else if (n >= 6 && p[0] == 0 && p[1] == 0 && (p[2] == 1 || p[2] == 2) && p[3] == 0 && Le16(p + 4) >= 1 &&
               Le16(p + 4) <= 256) {
        h.kind = ImageKind::Ico;
        ParseIco(s, h);
    }
    return h;
}

} // namespace

ImageHeader ParseImageHeader(const unsigned char* pData, size_t nSize, bool bTgaName)
{
    Source s(pData, nSize);
    return Parse(s, bTgaName);
}

ImageHeader ReadImageHeader(LPCWSTR pszPath)
{
    HANDLE hFile = OpenFileToRead(pszPath);
    if (hFile == INVALID_HANDLE_VALUE)
        return ImageHeader();
    Source s(hFile);
    unsigned char first = 0;
    ImageHeader h = s.Size() == 0 || s.Byte(0, &first) ? Parse(s, HasTgaName(pszPath)) : ImageHeader();
    ::CloseHandle(hFile);
    return h;
}

bool ReadFirstGifFrame(LPCWSTR pszPath, const ImageHeader& header, std::vector<BYTE>* pBytes)
{
    if (header.kind != ImageKind::Gif || header.firstFrameEnd == 0 || header.firstFrameEnd > (1ull << 30))
        return false;
    HANDLE hFile = OpenFileToRead(pszPath);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    pBytes->resize(static_cast<size_t>(header.firstFrameEnd) + 1);
    DWORD got = 0;
    bool ok = ::ReadFile(hFile, pBytes->data(), static_cast<DWORD>(header.firstFrameEnd), &got, nullptr) &&
              got == header.firstFrameEnd;
    ::CloseHandle(hFile);
    pBytes->back() = 0x3B;  // the trailer
    return ok;
}

bool HasTgaName(LPCWSTR pszPath)
{
    size_t n = wcslen(pszPath);
    return n >= 4 && ::CompareStringOrdinal(pszPath + n - 4, 4, L".tga", 4, TRUE) == CSTR_EQUAL;
}
