#include "image_export.h"

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

namespace {

HRESULT LastErrorResult()
{
    DWORD err = ::GetLastError();
    return err ? HRESULT_FROM_WIN32(err) : E_FAIL;
}

HRESULT WriteWholeFile(LPCWSTR pszPath, const void* pData, DWORD nBytes)
{
    HANDLE hFile = ::CreateFileW(pszPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return LastErrorResult();
    DWORD written = 0;
    BOOL ok = ::WriteFile(hFile, pData, nBytes, &written, nullptr) && written == nBytes && ::FlushFileBuffers(hFile);
    HRESULT hr = ok ? S_OK : LastErrorResult();
    ::CloseHandle(hFile);
    return hr;
}

} // namespace

HRESULT WriteSurfaceToFile(IDirect3DSurface9* pSurface, D3DXIMAGE_FILEFORMAT format, LPCWSTR pszPath)
{
    // A read-only file is not ours to replace (not every file system refuses the rename).
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

    // Next to the target, so that the final rename stays on one volume.
    CString tempPath = CString(pszPath) + L".zelmora-saving";
    hr = WriteWholeFile(tempPath, pEncoded->GetBufferPointer(), pEncoded->GetBufferSize());
    pEncoded->Release();
    if (SUCCEEDED(hr) && !::MoveFileExW(tempPath, pszPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        hr = LastErrorResult();
    if (FAILED(hr))
        ::DeleteFileW(tempPath);
    return hr;
}
