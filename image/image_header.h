// What a picture file says about itself in its first bytes: its kind and its size, read
// before anything is decoded, so that an absurd size is refused at once.
#pragma once
#include <windows.h>

enum class ImageKind { Unknown, Png, Jpeg, Bmp, Gif, Tga };

struct ImageHeader {
    bool bReadable = false;  // the file could be opened and read
    ImageKind kind = ImageKind::Unknown;
    UINT width = 0;          // 0 when the header does not say (or says 0)
    UINT height = 0;
};

ImageHeader ReadImageHeader(LPCWSTR pszPath);
// A TGA has no signature: only its name says it is one.
bool HasTgaName(LPCWSTR pszPath);
// The same from bytes in memory; bTgaName says whether a TGA header is to be looked for
// (a TGA has no signature).
ImageHeader ParseImageHeader(const unsigned char* pData, size_t nSize, bool bTgaName);
