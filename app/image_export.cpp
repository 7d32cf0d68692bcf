#include "image_export.h"

#include <algorithm>

#include "file_open.h"
#include "picture_writer.h"

SaveTarget DecideSaveTarget(const CString& strPath, const CString& strExtension, DWORD nFilterIndex)
{
    SaveTarget t;
    t.strPath = strPath;
    // Windows drops a name's trailing dots and spaces: "dot.png." is dot.png, not "dot.png..png".
    CString extension = strExtension;
    const std::wstring path = NameAsWindowsKeepsIt(strPath.str());
    if (path != strPath.str()) {
        t.strPath = path;
        const int dot = t.strPath.ReverseFind(L'.');
        const int slash = std::max(t.strPath.ReverseFind(L'\\'), t.strPath.ReverseFind(L'/'));
        extension = dot > slash ? t.strPath.Mid(dot + 1) : CString();
    }
    if (extension.CompareNoCase(L"jpg") == 0) {
        t.bSupported = true;
        t.bJpeg = true;
    } else if (extension.CompareNoCase(L"png") == 0) {
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
