// Writing a file so that a failure never leaves a broken or half-replaced one: the data
// goes to a new temporary file beside the target, which replaces the target only once it
// is complete. A read-only target is refused.
#pragma once
#include <windows.h>

#include <string>

HRESULT ReplaceFileContents(LPCWSTR pszPath, const void* pData, DWORD nBytes);

// The same written piece by piece: Open, Write as often as needed, Commit. Until Commit
// succeeds the target is untouched; a replacement dropped without Commit leaves nothing.
class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement() { Abandon(); }
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    HRESULT Open(LPCWSTR pszPath);
    HRESULT Write(const void* pData, DWORD nBytes);
    HRESULT Commit();
    void Abandon();

private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    std::wstring m_target, m_tempPath;
};
