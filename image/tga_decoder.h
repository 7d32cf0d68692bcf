// Truevision TGA, which the platform's codecs do not read: uncompressed and run-length
// encoded, colour-mapped, grey and true-colour (15/16, 24, 32 bits), either origin.
#pragma once
#include <windows.h>

#include "decoded_image.h"

HRESULT DecodeTga(LPCWSTR pszPath, UINT maxSide, DecodedImage& out);

// Decodes TGA data already in memory; for the file reader and for tests.
HRESULT DecodeTgaMemory(const unsigned char* pData, size_t nSize, DecodedImage& out);
