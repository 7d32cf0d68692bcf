#include "file_open.h"

#include <cwchar>

#include <cwctype>

namespace {

bool StartsWith(const std::wstring& s, const wchar_t* prefix)
{
    for (size_t i = 0; prefix[i]; ++i)
        if (i >= s.size() || towlower(s[i]) != towlower(prefix[i]))
            return false;
    return true;
}

std::wstring Backslashed(std::wstring path)
{
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

// The reserved names Windows resolves to a device in any folder, whatever follows the
// name's first dot or its trailing spaces.
bool IsReservedName(const std::wstring& component)
{
    std::wstring base = component.substr(0, component.find(L'.'));
    while (!base.empty() && (base.back() == L' ' || base.back() == L':'))
        base.pop_back();
    for (wchar_t& c : base)
        c = static_cast<wchar_t>(towupper(c));
    static const wchar_t* const kNames[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* name : kNames)
        if (base == name)
            return true;
    if (base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0)) {
        const wchar_t n = base[3];
        return (n >= L'0' && n <= L'9') || n == 0x00B9 || n == 0x00B2 || n == 0x00B3;  // also COM¹ .. COM³
    }
    return false;
}

} // namespace

PathKind ClassifyPath(const std::wstring& spelled)
{
    const std::wstring path = Backslashed(spelled);
    if (StartsWith(path, L"\\\\?\\UNC\\"))
        return PathKind::Network;
    if (StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\??\\")) {
        // Only a drive's long form (\\?\C:\...) is a plain file; anything else reaches the
        // object namespace (\\?\GLOBALROOT\Device\..., \\?\Volume{...}, \\?\pipe\...).
        return path.size() >= 7 && iswalpha(path[4]) && path[5] == L':' && path[6] == L'\\' ? PathKind::File
                                                                                              : PathKind::Device;
    }
    if (StartsWith(path, L"\\\\.\\"))
        return PathKind::Device;
    if (StartsWith(path, L"\\\\"))
        return PathKind::Network;
    size_t slash = path.find_last_of(L"\\:");
    return IsReservedName(slash == std::wstring::npos ? path : path.substr(slash + 1)) ? PathKind::Device
                                                                                       : PathKind::File;
}

HANDLE OpenFileToRead(const std::wstring& path, DWORD dwShare, DWORD dwFlags)
{
    if (ClassifyPath(path) == PathKind::Device) {
        ::SetLastError(ERROR_BAD_DEVICE);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE hFile = ::CreateFileW(path.c_str(), GENERIC_READ, dwShare, nullptr, OPEN_EXISTING, dwFlags, nullptr);
    if (hFile != INVALID_HANDLE_VALUE && ::GetFileType(hFile) != FILE_TYPE_DISK) {
        ::CloseHandle(hFile);
        ::SetLastError(ERROR_BAD_DEVICE);
        return INVALID_HANDLE_VALUE;
    }
    return hFile;
}

std::wstring NameAsWindowsKeepsIt(std::wstring path)
{
    path.erase(path.find_last_not_of(L". ") + 1);  // npos + 1: nothing but dots and spaces
    return path;
}

std::wstring PathRefusal(const std::wstring& path, bool bChosenByUser)
{
    switch (ClassifyPath(path)) {
    case PathKind::Device:
        return kDeviceRefusal;
    case PathKind::Network:
        return bChosenByUser ? std::wstring()
                             : L"it is on another computer (a network path), named by a file: Zelmora opens those "
                               L"only when you choose them yourself";
    default:
        return std::wstring();
    }
}

bool EndsWithNoCase(const std::wstring& name, const wchar_t* suffix)
{
    const size_t n = wcslen(suffix);
    return name.size() >= n && _wcsicmp(name.c_str() + name.size() - n, suffix) == 0;
}
