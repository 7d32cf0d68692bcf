// Decoding with the platform's image codecs (the Windows Imaging Component): JPEG (also
// CMYK and progressive), PNG (any depth, palette, grey, alpha, interlaced), BMP, GIF, TIFF.
#pragma once
#include <windows.h>

#include "decoded_image.h"

// Decodes the file, scaled down while decoding so that neither side exceeds maxSide (0: no
// limit but IsPlausibleImageSize).
// Fails without allocating for a size outside IsPlausibleImageSize.
HRESULT DecodeWithWic(LPCWSTR pszPath, UINT maxSide, DecodedImage& out);
// The same from a file's bytes in memory.
HRESULT DecodeWithWic(const BYTE* pData, size_t nSize, UINT maxSide, DecodedImage& out);
