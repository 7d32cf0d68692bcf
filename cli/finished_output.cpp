#include "finished_output.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

#include "file_open.h"

namespace {

// The first and the last bytes of a file (up to 64 of each) and its size.
struct FileEnds {
    unsigned char head[64] = {}, tail[64] = {};
    size_t nHead = 0, nTail = 0;
    unsigned long long size = 0;
};

bool ReadEnds(const std::wstring& path, FileEnds* pEnds)
{
    HANDLE hFile = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    DWORD got = 0;
    bool bOk = ::GetFileSizeEx(hFile, &size) && size.QuadPart > 0 &&
               ::ReadFile(hFile, pEnds->head, sizeof pEnds->head, &got, nullptr);
    pEnds->nHead = got;
    pEnds->size = static_cast<unsigned long long>(size.QuadPart);
    if (bOk) {
        const long long tailBytes = size.QuadPart < 64 ? size.QuadPart : 64;
        LARGE_INTEGER at;
        at.QuadPart = size.QuadPart - tailBytes;
        got = 0;
        bOk = ::SetFilePointerEx(hFile, at, nullptr, FILE_BEGIN) &&
              ::ReadFile(hFile, pEnds->tail, static_cast<DWORD>(tailBytes), &got, nullptr) &&
              got == static_cast<DWORD>(tailBytes);
        pEnds->nTail = got;
    }
    ::CloseHandle(hFile);
    return bOk;
}

bool StartsWith(const FileEnds& ends, const void* pBytes, size_t n)
{
    return ends.nHead >= n && std::memcmp(ends.head, pBytes, n) == 0;
}

bool EndsWith(const FileEnds& ends, const void* pBytes, size_t n)
{
    return ends.nTail >= n && std::memcmp(ends.tail + ends.nTail - n, pBytes, n) == 0;
}

unsigned ReadU32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned>(p[3]) << 24);
}

} // namespace

bool IsFinishedOutput(const std::wstring& path)
{
    FileEnds ends;
    if (!ReadEnds(path, &ends))
        return false;
    if (EndsWithNoCase(path, L".png")) {
        static const unsigned char kSignature[] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
        static const unsigned char kEnd[] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xae, 0x42, 0x60, 0x82};
        return StartsWith(ends, kSignature, sizeof kSignature) && EndsWith(ends, kEnd, sizeof kEnd);
    }
    if (EndsWithNoCase(path, L".jpg") || EndsWithNoCase(path, L".jpeg")) {
        static const unsigned char kStart[] = {0xff, 0xd8}, kEnd[] = {0xff, 0xd9};
        return StartsWith(ends, kStart, 2) && EndsWith(ends, kEnd, 2);
    }
    if (EndsWithNoCase(path, L".glb"))
        return ends.nHead >= 12 && std::memcmp(ends.head, "glTF", 4) == 0 && ReadU32(ends.head + 4) == 2 &&
               ReadU32(ends.head + 8) == ends.size;
    if (EndsWithNoCase(path, L".html") || EndsWithNoCase(path, L".htm")) {
        size_t n = ends.nTail;
        while (n && (ends.tail[n - 1] == '\n' || ends.tail[n - 1] == '\r' || ends.tail[n - 1] == ' '))
            --n;
        return n >= 7 && std::memcmp(ends.tail + n - 7, "</html>", 7) == 0;
    }
    return false;
}
