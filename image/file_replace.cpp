#include "file_replace.h"

#include <cwchar>
#include <mutex>
#include <cstring>
#include <set>
#include <string>
#include <vector>

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
// a name can be, so the temporary name must not grow from it. It is shared with nobody
// while it is open, and it stays open until it has become the target: a temporary file
// that can be deleted is one whose writer is gone.
HANDLE CreateTemporaryFile(const std::wstring& folder, std::wstring* pPath)
{
    static LONG s_nCounter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[64];
        wsprintfW(name, L"~zelmora-%lx-%lx.tmp", ::GetCurrentProcessId(),
                  static_cast<unsigned long>(::InterlockedIncrement(&s_nCounter) + ::GetTickCount()));
        std::wstring path = LongForm(folder + name);
        HANDLE hFile = ::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                     nullptr);
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
// run, from a folder we write into. A writer holds its file open, unshared, from its first
// byte until it is renamed, so the delete fails for every file still being written. (The
// process number in the name cannot tell: a new Wine session gives its first process the
// same number again.)
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
        ::DeleteFileW(LongForm(folder + found.cFileName).c_str());  // fails while its writer holds it
    } while (::FindNextFileW(hFind, &found));
    ::FindClose(hFind);
}

// The temporary file, still open, renamed over the target: there is no moment at which it
// is closed under its temporary name. The name goes in the system's own form (\??\C:\...),
// which it takes as it is.
bool RenameOpenFile(HANDLE hFile, const std::wstring& target)
{
    std::wstring full = LongForm(target);
    wchar_t buffer[1];
    const DWORD n = ::GetFullPathNameW(full.c_str(), 0, buffer, nullptr);
    if (n == 0)
        return false;
    std::wstring absolute(n, L'\0');
    absolute.resize(::GetFullPathNameW(full.c_str(), n, &absolute[0], nullptr));
    std::wstring nt;
    if (absolute.rfind(L"\\\\?\\UNC\\", 0) == 0)
        nt = L"\\??\\UNC\\" + absolute.substr(8);
    else if (absolute.rfind(L"\\\\?\\", 0) == 0)
        nt = L"\\??\\" + absolute.substr(4);
    else if (absolute.rfind(L"\\\\", 0) == 0)
        nt = L"\\??\\UNC\\" + absolute.substr(2);
    else
        nt = L"\\??\\" + absolute;
    std::vector<BYTE> info(sizeof(FILE_RENAME_INFO) + nt.size() * sizeof(wchar_t));
    auto* pRename = reinterpret_cast<FILE_RENAME_INFO*>(info.data());
    pRename->ReplaceIfExists = TRUE;
    pRename->RootDirectory = nullptr;
    pRename->FileNameLength = static_cast<DWORD>(nt.size() * sizeof(wchar_t));
    memcpy(pRename->FileName, nt.c_str(), (nt.size() + 1) * sizeof(wchar_t));
    return ::SetFileInformationByHandle(hFile, FileRenameInfo, pRename, static_cast<DWORD>(info.size())) != FALSE;
}

} // namespace

HRESULT FileReplacement::Open(LPCWSTR pszPath)
{
    Abandon();
    // A read-only file is not ours to replace (not every file system refuses the rename).
    m_target = LongForm(pszPath);
    DWORD attributes = ::GetFileAttributesW(m_target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return E_ACCESSDENIED;
    // Next to the target, so that the final rename stays on one volume.
    size_t slash = m_target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : m_target.substr(0, slash + 1);
    RemoveStaleTemporaryFiles(folder);
    m_hFile = CreateTemporaryFile(folder, &m_tempPath);
    return m_hFile == INVALID_HANDLE_VALUE ? LastErrorResult() : S_OK;
}

HRESULT FileReplacement::Write(const void* pData, DWORD nBytes)
{
    DWORD written = 0;
    if (m_hFile == INVALID_HANDLE_VALUE)
        return E_UNEXPECTED;
    return ::WriteFile(m_hFile, pData, nBytes, &written, nullptr) && written == nBytes ? S_OK : LastErrorResult();
}

HRESULT FileReplacement::Commit()
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return E_UNEXPECTED;
    if (!::FlushFileBuffers(m_hFile)) {
        const HRESULT hr = LastErrorResult();
        Abandon();
        return hr;
    }
    const bool bRenamed = RenameOpenFile(m_hFile, m_target);
    ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    // A file system that cannot rename an open file: renamed once closed.
    if (!bRenamed &&
        !::MoveFileExW(m_tempPath.c_str(), m_target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const HRESULT hr = LastErrorResult();
        ::DeleteFileW(m_tempPath.c_str());
        return hr;
    }
    return S_OK;
}

void FileReplacement::Abandon()
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return;
    ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    ::DeleteFileW(m_tempPath.c_str());
}

HRESULT ReplaceFileContents(LPCWSTR pszPath, const void* pData, DWORD nBytes)
{
    FileReplacement file;
    HRESULT hr = file.Open(pszPath);
    if (SUCCEEDED(hr))
        hr = file.Write(pData, nBytes);
    if (SUCCEEDED(hr))
        hr = file.Commit();
    return hr;
}
