// Saving the preview: which format and file name a choice in the save dialog means,
// and writing a frame so that a failure never leaves a broken or half-replaced file.
#pragma once
#include <windows.h>

#include "decoded_image.h"

#include "afxstr.h"

// What Save Image writes: the picture, a 360 spin's pictures, or the box as a 3D model.
enum class SaveKind { Picture, Spin, Model };

// The file types of Save Image, in the order its list shows them (1-based, as the dialog counts).
constexpr DWORD kSavePngFilter = 1, kSaveJpegFilter = 2, kSaveSpinFilter = 3, kSaveModelFilter = 4,
                kSaveSpinApngFilter = 5, kSaveSpinPageFilter = 6;
// Is the type one of the 360 spin's (its pictures, one animated PNG, one web page)?
inline bool IsSpinFilter(DWORD nFilterIndex)
{
    return nFilterIndex == kSaveSpinFilter || nFilterIndex == kSaveSpinApngFilter || nFilterIndex == kSaveSpinPageFilter;
}

struct SaveTarget {
    bool bSupported = false;      // false: neither extension nor file type says what to write
    SaveKind kind = SaveKind::Picture;
    bool bJpeg = false;           // else PNG (a picture or a spin's pictures)
    unsigned spinFormats = 0;     // a spin: SpinFormat flags (its pictures, an APNG, a page)
    CString strPath;              // the name to write
    bool bExtensionAppended = false;
};

// "png"/"jpg"/"glb" (any case) decide the format by themselves; otherwise file type 1
// appends ".png", 2 ".jpg", 3 (a spin) ".png" and 4 (a model) ".glb" to whatever the name
// already has. Under type 3 a .png or .jpg name is a spin's pictures; type 5 (a spin as one
// animated PNG) writes a .png, type 6 (a spin as a web page) an .html.
SaveTarget DecideSaveTarget(const CString& strPath, const CString& strExtension, DWORD nFilterIndex);

// How a picture chosen in Save Image is written: PNG (with its alpha when transparent) or
// JPEG, with the DPI asked for.
struct PictureFormat SaveFormat(const SaveTarget& target, const struct ExportSettings& settings);

// Encodes the frame by the shared picture writer and puts the file in place in one step:
// an existing file is replaced only once the new one is complete.
HRESULT WriteFrameToFile(const DecodedImage& frame, bool bJpeg, LPCWSTR pszPath);
