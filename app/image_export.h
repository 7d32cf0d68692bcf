// Saving the preview: which format and file name a choice in the save dialog means,
// and writing a frame so that a failure never leaves a broken or half-replaced file.
#pragma once
#include <windows.h>

#include "decoded_image.h"

#include "afxstr.h"

struct SaveTarget {
    bool bSupported = false;      // false: neither extension nor file type says PNG or JPEG
    bool bJpeg = false;           // else PNG
    CString strPath;              // the name to write
    bool bExtensionAppended = false;
};

// "png"/"jpg" (any case) decide by themselves; otherwise file type 1 appends ".png" and
// 2 appends ".jpg" to whatever the name already has.
SaveTarget DecideSaveTarget(const CString& strPath, const CString& strExtension, DWORD nFilterIndex);

// Encodes the frame by the shared picture writer and puts the file in place in one step:
// an existing file is replaced only once the new one is complete.
HRESULT WriteFrameToFile(const DecodedImage& frame, bool bJpeg, LPCWSTR pszPath);
