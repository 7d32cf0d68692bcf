#include "file_replace.h"

#include <cwchar>
#include <mutex>
#include <set>
#include <string>

namespace {

HRESULT LastErrorResult()
{
    DWORD err = ::GetLastError();
    return err ? HRESULT_FROM_WIN32(err) : E_FAIL;
}

// A path past MAX_PATH works only in its long form on Windows (Wine takes both).
std::wstring LongForm(const std::wstring& path)
{
    if (path.size() < MAX_PATH - 1 || path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    std::wstring p = path;
    for (wchar_t& c : p)
        if (c == L'/')
            c = L'\\';
    if (p.size() >= 3 && p[1] == L':' && p[2] == L'\\')
        return L"\\\\?\\" + p;
    if (p.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + p.substr(2);
    return path;
}

// A new file of a short name of our own in pszFolder, made with CREATE_NEW so that it can
// never be an existing file; its name in *pPath. The target's own name may be as long as
// a name can be, so the temporary name must not grow from it.
HANDLE CreateTemporaryFile(const std::wstring& folder, std::wstring* pPath)
{
    static LONG s_nCounter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[64];
        wsprintfW(name, L"~zelmora-%lx-%lx.tmp", ::GetCurrentProcessId(),
                  static_cast<unsigned long>(::InterlockedIncrement(&s_nCounter) + ::GetTickCount()));
        std::wstring path = LongForm(folder + name);
        HANDLE hFile = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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

// Temporary files of ours that a process killed while writing left behind: removed, once a
// run, from a folder we write into, unless the process that made one is still running (its
// number is in the name) or the file is still open.
void RemoveStaleTemporaryFiles(const std::wstring& folder)
{
    static std::mutex s_mutex;
    static std::set<std::wstring> s_done;
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        if (!s_done.insert(folder).second)
            return;
    }
    WIN32_FIND_DATAW found;
    HANDLE hFind = ::FindFirstFileW(LongForm(folder + L"~zelmora-*.tmp").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        unsigned long pid = 0;
        if (swscanf(found.cFileName, L"~zelmora-%lx-", &pid) != 1 || pid == ::GetCurrentProcessId())
            continue;
        if (HANDLE hProcess = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {
            DWORD code = 0;
            const bool bRunning = ::GetExitCodeProcess(hProcess, &code) && code == STILL_ACTIVE;
            ::CloseHandle(hProcess);
            if (bRunning)
                continue;
        }
        ::DeleteFileW(LongForm(folder + found.cFileName).c_str());  // fails while someone holds it
    } while (::FindNextFileW(hFind, &found));
    ::FindClose(hFind);
}

HRESULT WriteAll(HANDLE hFile, const void* pData, DWORD nBytes)
{
    DWORD written = 0;
    BOOL ok = ::WriteFile(hFile, pData, nBytes, &written, nullptr) && written == nBytes && ::FlushFileBuffers(hFile);
    return ok ? S_OK : LastErrorResult();
}

} // namespace

HRESULT ReplaceFileContents(LPCWSTR pszPath, const void* pData, DWORD nBytes)
{
    // A read-only file is not ours to replace (not every file system refuses the rename).
    const std::wstring target = LongForm(pszPath);
    DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return E_ACCESSDENIED;

    // Next to the target, so that the final rename stays on one volume.
    size_t slash = target.find_last_of(L"\\/");
    std::wstring tempPath;
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
    RemoveStaleTemporaryFiles(folder);
    HANDLE hFile = CreateTemporaryFile(folder, &tempPath);
    if (hFile == INVALID_HANDLE_VALUE)
        return LastErrorResult();
    HRESULT hr = WriteAll(hFile, pData, nBytes);
    ::CloseHandle(hFile);
    if (SUCCEEDED(hr) && !::MoveFileExW(tempPath.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        hr = LastErrorResult();
    if (FAILED(hr))
        ::DeleteFileW(tempPath.c_str());
    return hr;
}
