// Encoding a rendered picture as PNG (with its alpha when transparent) or JPEG, with an
// optional resolution for print, and putting it in place without ever leaving half a file.
#pragma once
#include <string>
#include <vector>

#include "decoded_image.h"

struct PictureFormat {
    bool bJpeg = false;
    bool bAlpha = false;   // PNG only: keep the alpha channel
    int quality = 90;      // JPEG, 1..100
    int dpi = 0;           // 0: none
};

HRESULT EncodePicture(const DecodedImage& image, const PictureFormat& format, std::vector<BYTE>* pBytes);
HRESULT WritePicture(const DecodedImage& image, const PictureFormat& format, const std::wstring& path);
