// The one way both programs write a picture: PNG (with its alpha when transparent) or
// JPEG, with an optional resolution for print, put in place without ever leaving half a
// file behind.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include <memory>

#include "decoded_image.h"
#include "file_replace.h"
#include "png_encoder.h"

struct PictureFormat {
    bool bJpeg = false;
    bool bAlpha = false;   // PNG only: keep the alpha channel
    int quality = 90;      // JPEG, 1..100
    int dpi = 0;           // 0: none
    std::string record;    // what made it, kept in the file (picture_record.h); empty: none
};

// Where the time of writing one picture went, for the benchmark (PNG only; JPEG is one call).
struct PictureTimings {
    double filterSeconds = 0;    // rows laid out and filtered, summed over the cores
    double compressSeconds = 0;  // deflate, summed over the cores
    double encodeSeconds = 0;    // the whole encoding as the caller waited for it
    double writeSeconds = 0;     // the file written and put in place
};

HRESULT EncodePicture(const DecodedImage& image, const PictureFormat& format, std::vector<BYTE>* pBytes,
                      PictureTimings* pTimings = nullptr);
// Why WritePicture failed, in words for the user: "the folder does not exist" and so on.
std::wstring WriteFailureReason(const std::wstring& path, HRESULT hr);

// A picture written as its rows arrive, for pictures too large to hold whole: a PNG goes
// into the file band by band; a JPEG (whose encoder takes the whole picture) is gathered
// and encoded at Commit. The file appears only at Commit; dropped before, nothing is left.
class PictureFileWriter {
public:
    HRESULT Open(const std::wstring& path, const PictureFormat& format, UINT width, UINT height);
    HRESULT AddRows(const uint32_t* pRows, UINT count);
    HRESULT Commit();

private:
    FileReplacement m_file;
    PictureFormat m_format;
    std::unique_ptr<PngStreamEncoder> m_png;
    std::vector<BYTE> m_rgb;  // JPEG only: the rows so far, 3 bytes a pixel
    UINT m_width = 0, m_height = 0, m_nRows = 0;
};

// A read-only target or a folder of that name is refused before any encoding.
HRESULT WritePicture(const DecodedImage& image, const PictureFormat& format, const std::wstring& path,
                     PictureTimings* pTimings = nullptr);
