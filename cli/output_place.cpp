#include "output_place.h"

#include <windows.h>

#include <unordered_map>

namespace {

std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[4096];
    const DWORD n = ::GetFullPathNameW(path.c_str(), 4096, full, nullptr);
    return n > 0 && n < 4096 ? std::wstring(full, n) : path;
}

// "<volume:index>\" for a file or folder that can be opened; empty otherwise.
std::wstring Identity(const std::wstring& path)
{
    std::wstring identity;
    HANDLE h = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info;
    if (h != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(h, &info)) {
        wchar_t text[64];
        swprintf(text, 64, L"<%08lx:%08lx%08lx>\\", info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
        identity = text;
    }
    if (h != INVALID_HANDLE_VALUE)
        ::CloseHandle(h);
    return identity;
}

// A folder by its identity (a link to a folder is that folder); asked once per spelling: a
// batch writes thousands of pictures into a few folders.
std::wstring FolderIdentity(const std::wstring& folder)
{
    static std::unordered_map<std::wstring, std::wstring> s_known;
    auto known = s_known.find(folder);
    if (known != s_known.end())
        return known->second;
    const std::wstring identity = Identity(folder);
    return s_known[folder] = identity.empty() ? folder : identity;
}

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

} // namespace

unsigned long long OutputKey(const std::wstring& output)
{
    std::wstring name = FullPath(output);
    // A file there already is known by its identity: two hard links to it are one picture.
    std::wstring key = Identity(name);
    if (key.empty()) {
        const size_t slash = name.find_last_of(L"\\/");
        key = slash == std::wstring::npos ? name : FolderIdentity(name.substr(0, slash + 1)) + name.substr(slash + 1);
    }
    ::CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    unsigned long long hash = 1469598103934665603ull;  // FNV-1a
    for (wchar_t c : key) {
        hash ^= static_cast<unsigned long long>(c == L'/' ? L'\\' : c);
        hash *= 1099511628211ull;
    }
    return hash;
}

bool OutputRoot::Set(const std::wstring& folder, std::wstring* pError)
{
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *pError = L"--output-root \"" + folder + L"\": expected a folder that is there";
        return false;
    }
    m_root = FullPath(folder);
    if (m_root.empty() || !IsSeparator(m_root.back()))
        m_root += L'\\';
    return true;
}

std::wstring OutputRoot::Refusal(const std::wstring& output) const
{
    if (m_root.empty())
        return std::wstring();
    // Taken whole (".." and "." gone) before it is compared, name by name, case ignored.
    const std::wstring full = FullPath(output);
    bool bBelow = full.size() > m_root.size();
    for (size_t i = 0; bBelow && i < m_root.size(); ++i) {
        const wchar_t a = full[i], b = m_root[i];
        bBelow = IsSeparator(a) ? IsSeparator(b)
                                : ::CharUpperW(reinterpret_cast<wchar_t*>(static_cast<ULONG_PTR>(a))) ==
                                      ::CharUpperW(reinterpret_cast<wchar_t*>(static_cast<ULONG_PTR>(b)));
    }
    if (bBelow)
        return std::wstring();
    return L"-o " + output + L": outside --output-root " + m_root.substr(0, m_root.size() - 1) +
           L" (every picture is written below it)";
}
