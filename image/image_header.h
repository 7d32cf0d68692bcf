// What a picture file says about itself: its kind and the size of what would be decoded
// (the first frame of an animation, the picture inside an icon), found by walking the
// file's structure without decoding anything and without reading more than the structure,
// so that an absurd size is refused at once, however the file is laid out.
#pragma once
#include <windows.h>

#include <vector>

enum class ImageKind { Unknown, Png, Jpeg, Bmp, Gif, Tga, Ico };

struct ImageHeader {
    bool bReadable = false;  // the file could be opened and read
    ImageKind kind = ImageKind::Unknown;
    UINT width = 0;          // 0 when the file does not say (or says 0): not decodable
    UINT height = 0;
    // GIF: where the first frame's data ends, and whether more frames follow it.
    unsigned long long firstFrameEnd = 0;
    bool bMoreFrames = false;
};

ImageHeader ReadImageHeader(LPCWSTR pszPath);
// A TGA has no signature: only its name says it is one.
bool HasTgaName(LPCWSTR pszPath);
// The same from bytes in memory; bTgaName says whether a TGA header is to be looked for.
ImageHeader ParseImageHeader(const unsigned char* pData, size_t nSize, bool bTgaName);

// An animated GIF cut after its first frame (what the platform decodes as frame 0), so that
// the decoder never holds the other frames: the first firstFrameEnd bytes and a trailer.
bool ReadFirstGifFrame(LPCWSTR pszPath, const ImageHeader& header, std::vector<BYTE>* pBytes);
