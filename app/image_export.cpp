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

// A new file of a short name of our own in pszFolder, made with CREATE_NEW so that it can
// never be an existing file; its name in *pPath. The target's own name may be as long as
// a name can be, so the temporary name must not grow from it.
HANDLE CreateTemporaryFile(const CString& folder, CString* pPath)
{
    static LONG s_nCounter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        CString name;
        name.Format(L"~zelmora-%lx-%lx.tmp", ::GetCurrentProcessId(),
                    static_cast<unsigned long>(::InterlockedIncrement(&s_nCounter) + ::GetTickCount()));
        CString path = folder + name;
        HANDLE hFile = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile != INVALID_HANDLE_VALUE) {
            *pPath = path;
            return hFile;
        }
        DWORD err = ::GetLastError();
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS)
            return INVALID_HANDLE_VALUE;  // the folder itself refuses (gone, read-only, full)
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

HRESULT WriteAll(HANDLE hFile, const void* pData, DWORD nBytes)
{
    DWORD written = 0;
    BOOL ok = ::WriteFile(hFile, pData, nBytes, &written, nullptr) && written == nBytes && ::FlushFileBuffers(hFile);
    return ok ? S_OK : LastErrorResult();
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
    CString target(pszPath);
    int slash = target.ReverseFind(L'\\');
    if (target.ReverseFind(L'/') > slash)
        slash = target.ReverseFind(L'/');
    CString tempPath;
    HANDLE hFile = CreateTemporaryFile(target.Left(slash + 1), &tempPath);
    if (hFile == INVALID_HANDLE_VALUE) {
        hr = LastErrorResult();
        pEncoded->Release();
        return hr;
    }
    hr = WriteAll(hFile, pEncoded->GetBufferPointer(), pEncoded->GetBufferSize());
    ::CloseHandle(hFile);
    pEncoded->Release();
    if (SUCCEEDED(hr) && !::MoveFileExW(tempPath, pszPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        hr = LastErrorResult();
    if (FAILED(hr))
        ::DeleteFileW(tempPath);
    return hr;
}
