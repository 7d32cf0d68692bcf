#include "image_export.h"

#include <algorithm>

#include "file_open.h"
#include "picture_writer.h"
#include "scene_description.h"
#include "spin_files.h"

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
    if (nFilterIndex == kSaveSpinApngFilter || nFilterIndex == kSaveSpinPageFilter) {
        const bool bPage = nFilterIndex == kSaveSpinPageFilter;
        t.bSupported = true;
        t.kind = SaveKind::Spin;
        t.spinFormats = bPage ? kSpinHtml : kSpinApng;
        if (bPage ? extension.CompareNoCase(L"html") != 0 && extension.CompareNoCase(L"htm") != 0
                  : extension.CompareNoCase(L"png") != 0) {
            t.strPath += bPage ? L".html" : L".png";
            t.bExtensionAppended = true;
        }
        return t;
    }
    if (extension.CompareNoCase(L"glb") == 0) {
        t.bSupported = true;
        t.kind = SaveKind::Model;
    } else if (extension.CompareNoCase(L"jpg") == 0 || extension.CompareNoCase(L"png") == 0) {
        t.bSupported = true;
        t.bJpeg = extension.CompareNoCase(L"jpg") == 0;
    } else if (nFilterIndex >= kSavePngFilter && nFilterIndex <= kSaveModelFilter) {
        t.bSupported = true;
        t.bJpeg = nFilterIndex == kSaveJpegFilter;
        t.strPath += nFilterIndex == kSaveJpegFilter ? L".jpg" : nFilterIndex == kSaveModelFilter ? L".glb" : L".png";
        t.bExtensionAppended = true;
    }
    if (t.bSupported && t.kind == SaveKind::Picture && nFilterIndex == kSaveSpinFilter) {
        t.kind = SaveKind::Spin;
        t.spinFormats = kSpinFrames;
    }
    if (t.bSupported && nFilterIndex == kSaveModelFilter && t.bExtensionAppended)
        t.kind = SaveKind::Model;
    return t;
}

PictureFormat SaveFormat(const SaveTarget& target, const ExportSettings& settings)
{
    PictureFormat format;
    format.bJpeg = target.bJpeg;
    format.bAlpha = settings.bTransparent && !target.bJpeg;
    format.dpi = settings.dpi;
    return format;
}

HRESULT WriteFrameToFile(const DecodedImage& frame, bool bJpeg, LPCWSTR pszPath)
{
    PictureFormat format;
    format.bJpeg = bJpeg;
    return WritePicture(frame, format, pszPath);
}
