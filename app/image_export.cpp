#include "image_export.h"

#include "file_replace.h"

SaveTarget DecideSaveTarget(const CString& strPath, const CString& strExtension, DWORD nFilterIndex)
{
    SaveTarget t;
    t.strPath = strPath;
    if (strExtension.CompareNoCase(L"jpg") == 0) {
        t.bSupported = true;
        t.format = D3DXIFF_JPG;
    } else if (strExtension.CompareNoCase(L"png") == 0) {
        t.bSupported = true;
        t.format = D3DXIFF_PNG;
    } else if (nFilterIndex == 1) {
        t.bSupported = true;
        t.format = D3DXIFF_PNG;
        t.strPath += L".png";
        t.bExtensionAppended = true;
    } else if (nFilterIndex == 2) {
        t.bSupported = true;
        t.format = D3DXIFF_JPG;
        t.strPath += L".jpg";
        t.bExtensionAppended = true;
    }
    return t;
}

HRESULT WriteSurfaceToFile(IDirect3DSurface9* pSurface, D3DXIMAGE_FILEFORMAT format, LPCWSTR pszPath)
{
    // Refused before the work of encoding (ReplaceFileContents would refuse it too).
    DWORD attributes = ::GetFileAttributesW(pszPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return E_ACCESSDENIED;

    ID3DXBuffer* pEncoded = nullptr;
    HRESULT hr = D3DXSaveSurfaceToFileInMemory(&pEncoded, format, pSurface, nullptr, nullptr);
    if (FAILED(hr))
        return hr;
    if (!pEncoded || pEncoded->GetBufferSize() == 0) {
        if (pEncoded)
            pEncoded->Release();
        return E_FAIL;
    }
    hr = ReplaceFileContents(pszPath, pEncoded->GetBufferPointer(), pEncoded->GetBufferSize());
    pEncoded->Release();
    return hr;
}
