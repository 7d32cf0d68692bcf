// JPEG by an encoder linked into the program, so that a picture is the same file on Windows
// and under Wine: the quality as asked (1-100), colour subsampled 4:2:0 up to quality 90 and
// kept whole (4:4:4) above, the resolution in the JFIF header, sRGB named by Exif.
#pragma once
#include <windows.h>

#include <vector>

#include "decoded_image.h"

HRESULT EncodeJpeg(const DecodedImage& image, int quality, int dpi, std::vector<BYTE>* pBytes);
// The same from packed R, G, B bytes, top row first.
HRESULT EncodeJpegRgb(const BYTE* pRgb, UINT width, UINT height, int quality, int dpi, std::vector<BYTE>* pBytes);
void PackRgb(const uint32_t* pPixels, size_t count, BYTE* pRgb);
