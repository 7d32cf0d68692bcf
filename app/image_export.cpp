#include "image_export.h"

#include "picture_writer.h"

SaveTarget DecideSaveTarget(const CString& strPath, const CString& strExtension, DWORD nFilterIndex)
{
    SaveTarget t;
    t.strPath = strPath;
    if (strExtension.CompareNoCase(L"jpg") == 0) {
        t.bSupported = true;
        t.bJpeg = true;
    } else if (strExtension.CompareNoCase(L"png") == 0) {
        t.bSupported = true;
    } else if (nFilterIndex == 1) {
        t.bSupported = true;
        t.strPath += L".png";
        t.bExtensionAppended = true;
    } else if (nFilterIndex == 2) {
        t.bSupported = true;
        t.bJpeg = true;
        t.strPath += L".jpg";
        t.bExtensionAppended = true;
    }
    return t;
}

HRESULT WriteFrameToFile(const DecodedImage& frame, bool bJpeg, LPCWSTR pszPath)
{
    PictureFormat format;
    format.bJpeg = bJpeg;
    return WritePicture(frame, format, pszPath);
}
